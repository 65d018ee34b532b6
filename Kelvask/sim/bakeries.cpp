#include "bakeries.h"

#include "building.h"
#include "food.h"
#include "grain.h"
#include "log.h"
#include "mtbe.h"
#include "wld.h"

int32_t bakeries_count;
int32_t bakeries_cidx[MAXBAKERIES];
int32_t bakeries_grai[MAXBAKERIES];
int32_t bakeries_food[MAXBAKERIES];
int32_t bakeries_gids[MAXBAKERIES][BAKERY_GRAIN];
int32_t bakeries_fids[MAXBAKERIES][BAKERY_FOOD];
float bakeries_bake[MAXBAKERIES];
float bakeries_trfs[MAXBAKERIES][16];
int32_t bakeries_mtbd[MAXBAKERIES];
int32_t bakeries_mtbp[MAXBAKERIES];
int32_t bakeries_mtbf[MAXBAKERIES];
int32_t bakeries_mtbe[MAXBAKERIES];
int32_t bakeries_empt[MAXBAKERIES];
int32_t bakeries_full[MAXBAKERIES];

// Grain is dropped on the west side, food taken on the south side; the rest
// of the plot is building.
static const uint8_t bakery_template[FOOTPRINT] = {BLDG, BLDG, BLDG, BAKG, BLDG,
                                                   BLDG, BAKG, BAKF, BAKF};

#define BAKERY_GRAIN_REOPEN 13  // fewer grain than this always opens the grain cells
#define BAKERY_FOOD_REOPEN 2    // this much food always opens the food cells
#define BAKERY_REFUSAL_RATE 40.0f

// Held counts within their stacks, and every held item a slot of its pool
// (a food entry may be -1: baked while the pool was full).
static bool stores_valid(int n) {
  for (int b = 0; b < n; b++) {
    bool ok = bakeries_grai[b] >= 0 && bakeries_grai[b] <= BAKERY_GRAIN && bakeries_food[b] >= 0 &&
              bakeries_food[b] <= BAKERY_FOOD;
    for (int k = 0; ok && k < bakeries_grai[b]; k++)
      ok = bakeries_gids[b][k] >= 0 && bakeries_gids[b][k] < MAXGRAIN;
    for (int k = 0; ok && k < bakeries_food[b]; k++)
      ok = bakeries_fids[b][k] >= -1 && bakeries_fids[b][k] < MAXFOOD;
    if (!ok) {
      LOG("ERR Saved game: bakery %d holds grain or food out of range", b);
      return false;
    }
  }
  return true;
}

// A bakery that holds nothing and has seen no refusal.
static void bakery_empty(int b) {
  bakeries_grai[b] = 0;
  bakeries_food[b] = 0;
  bakeries_bake[b] = 0.0f;
  bakeries_empt[b] = 0;
  bakeries_full[b] = 0;
}

static const BuildingTable table = {
    "bakeries",
    "bakery",
    "bakeries",
    MAXBAKERIES,
    &bakeries_count,
    bakeries_cidx,
    bakery_template,
    {bakeries_mtbd, bakeries_mtbp, bakeries_mtbf, bakeries_mtbe},
    nullptr,
    nullptr,
    0,
    {building_ints("cidx", bakeries_cidx), building_ints("grai", bakeries_grai),
     building_ints("food", bakeries_food),
     building_ints("gids", &bakeries_gids[0][0], BAKERY_GRAIN),
     building_ints("fids", &bakeries_fids[0][0], BAKERY_FOOD),
     building_floats("bake", bakeries_bake), building_floats("trfs", &bakeries_trfs[0][0], 16),
     building_ints("mtbd", bakeries_mtbd), building_ints("mtbp", bakeries_mtbp),
     building_ints("mtbf", bakeries_mtbf), building_ints("mtbe", bakeries_mtbe),
     building_ints("empt", bakeries_empt), building_ints("full", bakeries_full)},
    stores_valid,
    bakery_empty,
    false,
};

void bakeries_reset() { building_reset(&table); }

int bakeries_add(int x, int y) {
  if (!building_site_free(x, y)) return -1;
  if (bakeries_count >= MAXBAKERIES) {
    LOG("ERR All %d bakeries are in use, no bakery added at %d,%d.", MAXBAKERIES, x, y);
    return -1;
  }
  int b = building_append(&table, x, y);
  int centre = bakeries_cidx[b];
  building_set_group(centre, bakery_template, BLDG, BLDG);
  building_set_group(centre, bakery_template, BAKG, BAKG);
  building_set_group(centre, bakery_template, BAKF, BAKF);
  building_matrix(bakeries_trfs[b], centre);
  return b;
}

int bakeries_drop_grain(int g, float pos[3], int b) {
  if (b < 0 || b >= bakeries_count || bakeries_grai[b] >= BAKERY_GRAIN || g < 0 || g >= MAXGRAIN) {
    LOG("ERR Bakery %d cannot take grain %d.", b, g);
    return -1;
  }
  int n = bakeries_grai[b]++;
  bakeries_gids[b][n] = g;
  // Six along y over the grain cells, six layers high.
  const float* t = &bakeries_trfs[b][12];
  pos[0] = t[0] - 1.0f;
  pos[1] = t[1] - 0.2f + (n % 6) * 0.27f;
  pos[2] = t[2] + 0.1f + (n / 6) * 0.28f;
  mtbe_add_event(bakeries_mtbd[b], building_now());
  return b;
}

// The last two grain become one food, three across and six layers high over
// the food cells.
static void bakery_finish_bake(int b, int g, int f) {
  bakeries_bake[b] = 0.0f;
  grain_release(bakeries_gids[b][g - 1]);
  grain_release(bakeries_gids[b][g - 2]);
  bakeries_grai[b] = g - 2;
  const float* t = &bakeries_trfs[b][12];
  float pos[3] = {t[0] + (f % 3) * 0.5f, t[1] + 1.1f, t[2] + (f / 3) * 0.175f};
  bakeries_fids[b][f] = food_create_at_bakery(b, pos);
  bakeries_food[b] = f + 1;
}

static void bakery_update(int b, float dt) {
  int g = bakeries_grai[b], f = bakeries_food[b];
  if (g >= 2 && f < BAKERY_FOOD) {
    bakeries_bake[b] = (float)(bakeries_bake[b] + dt * 0.2);
    if (bakeries_bake[b] >= 1.0f) bakery_finish_bake(b, g, f);
  }
  if (bakeries_full[b] > 0) mtbe_add_event(bakeries_mtbf[b], building_now());
  if (bakeries_empt[b] > 0) mtbe_add_event(bakeries_mtbe[b], building_now());
  float t = building_now();
  float rd = mtbe_rate(bakeries_mtbd[b], t);
  float rp = mtbe_rate(bakeries_mtbp[b], t);
  float rf = mtbe_rate(bakeries_mtbf[b], t);
  float re = mtbe_rate(bakeries_mtbe[b], t);
  int centre = bakeries_cidx[b];
  building_set_weight(centre, bakery_template, BAKG, -10.0f * rd - 20.0f * rf);
  building_set_weight(centre, bakery_template, BAKF, -10.0f * rp - 20.0f * re);
  if (rf > BAKERY_REFUSAL_RATE && bakeries_full[b] >= 2)
    building_set_group(centre, bakery_template, BAKG, BLDG);
  if (g < BAKERY_GRAIN_REOPEN) building_set_group(centre, bakery_template, BAKG, BAKG);
  if (re > BAKERY_REFUSAL_RATE && bakeries_empt[b] >= 3)
    building_set_group(centre, bakery_template, BAKF, BLDG);
  if (f >= BAKERY_FOOD_REOPEN) building_set_group(centre, bakery_template, BAKF, BAKF);
  bakeries_full[b] = 0;
  bakeries_empt[b] = 0;
}

void bakeries_update(float dt) {
  for (int b = 0; b < bakeries_count; b++) bakery_update(b, dt);
}

bool bakeries_serialize(int out, FILE* f) { return building_serialize(&table, out, f); }
