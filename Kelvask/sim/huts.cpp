#include "huts.h"

#include <cstring>

#include "building.h"
#include "crowd.h"
#include "food.h"
#include "log.h"
#include "mtbe.h"
#include "plates.h"
#include "wld.h"
#include "wld_state.h"

int32_t huts_count;
int32_t huts_cidx[MAXHUTS];
int32_t huts_fdid[MAXHUTS];
int32_t huts_food[MAXHUTS];
float huts_trfs[MAXHUTS][16];
int32_t huts_resi[MAXHUTS][HUTS_MAXRESI];
float huts_rest[MAXHUTS][HUTS_MAXRESI];
int32_t huts_occu[MAXHUTS];
int32_t huts_mtbo[MAXHUTS];
int32_t huts_mtbb[MAXHUTS];
int32_t huts_mtbf[MAXHUTS];
int32_t huts_mtbr[MAXHUTS];

// The food drop-off in the middle, the rest entry along the south row; the
// walled cells keep whatever type they had.
static const uint8_t huts_template[FOOTPRINT] = {BLDG, BLDG, BLDG, BLDG, FOOD,
                                                 BLDG, REST, REST, REST};

// Food: none, or an item with 1..10 portions. Residents: resting members of
// the crowd in the first occu slots, each in one slot of one hut, -1 in the
// others; a dead or working member let out would take up work again.
static bool huts_hut_valid(int h, bool* listed) {
  int fd = huts_fdid[h], food = huts_food[h], occu = huts_occu[h];
  bool no_food = fd == -1 && food == 0;
  bool fed = fd >= 0 && fd < MAXFOOD && food >= 1 && food <= HUTS_PORTIONS;
  if (!no_food && !fed) {
    LOG("ERR Saved game: hut %d holds food %d with %d portions", h, fd, food);
    return false;
  }
  if (occu < 0 || occu > HUTS_MAXRESI) {
    LOG("ERR Saved game: hut %d has %d residents", h, occu);
    return false;
  }
  for (int i = 0; i < HUTS_MAXRESI; i++) {
    int m = huts_resi[h][i];
    bool ok =
        i < occu ? m >= 0 && m < crowd_sz && crowd_goal[m] == JOB_RESTING && !listed[m] : m == -1;
    if (ok && m >= 0) listed[m] = true;
    if (!ok) {
      LOG("ERR Saved game: hut %d has resident %d in slot %d", h, m, i);
      return false;
    }
  }
  return true;
}

static bool huts_valid(int n) {
  static bool listed[CROWDSZ];
  memset(listed, 0, sizeof listed);
  for (int h = 0; h < n; h++)
    if (!huts_hut_valid(h, listed)) return false;
  return true;
}

// A hut with no food and nobody inside.
static void huts_empty(int h) {
  huts_fdid[h] = -1;
  huts_food[h] = 0;
  huts_occu[h] = 0;
  for (int i = 0; i < HUTS_MAXRESI; i++) {
    huts_resi[h][i] = -1;
    huts_rest[h][i] = 0.0f;
  }
}

static const BuildingTable table = {
    "huts",
    "hut",
    "huts",
    MAXHUTS,
    &huts_count,
    huts_cidx,
    huts_template,
    {huts_mtbo, huts_mtbb, huts_mtbf, huts_mtbr},
    nullptr,
    nullptr,
    0,
    {building_ints("cidx", huts_cidx), building_ints("fdid", huts_fdid),
     building_ints("food", huts_food), building_floats("trfs", &huts_trfs[0][0], 16),
     building_ints("resi", &huts_resi[0][0], HUTS_MAXRESI),
     building_floats("rest", &huts_rest[0][0], HUTS_MAXRESI), building_ints("occu", huts_occu),
     building_ints("mtbo", huts_mtbo), building_ints("mtbb", huts_mtbb),
     building_ints("mtbf", huts_mtbf), building_ints("mtbr", huts_mtbr)},
    huts_valid,
    huts_empty,
    true,
};

void huts_reset() { building_reset(&table); }

int huts_add(int x, int y) {
  if (!building_can_add(&table, x, y)) return -1;
  int h = building_append(&table, x, y);
  building_set_group(huts_cidx[h], huts_template, FOOD, FOOD);
  building_set_group(huts_cidx[h], huts_template, REST, REST);
  building_matrix(huts_trfs[h], huts_cidx[h]);
  return h;
}

int huts_find_at(int cidx) { return building_find_at(huts_cidx, huts_count, cidx); }

int huts_deliver_food(int h, int f, float pos[3]) {
  ASSERT(h >= 0 && h < huts_count);
  if (huts_fdid[h] != -1) {
    LOG("ERR hut %d already has food(%d)", h, huts_fdid[h]);
    return -1;
  }
  huts_fdid[h] = f;
  huts_food[h] = HUTS_PORTIONS;
  // The food lies on the cell north of the centre.
  pos[0] = huts_trfs[h][12];
  pos[1] = huts_trfs[h][13] - 0.75f;
  pos[2] = grid_z(wld_height[huts_cidx[h] - GRIDSZ]);
  mtbe_add_event(huts_mtbf[h], building_now());
  building_set_group(huts_cidx[h], huts_template, FOOD, BLDG);
  return h;
}

int huts_enter(int cidx, int m) {
  int h = huts_find_at(cidx);
  if (h < 0) return -1;
  float now = building_now();
  if (huts_occu[h] >= HUTS_MAXRESI) {
    mtbe_add_event(huts_mtbb[h], now);
    return -1;
  }
  int n = huts_occu[h]++;
  huts_resi[h][n] = m;
  huts_rest[h][n] = 0.0f;
  mtbe_add_event(huts_mtbo[h], now);
  if (huts_occu[h] == HUTS_MAXRESI) mtbe_add_event(huts_mtbb[h], now);
  return h;
}

int huts_leave(int h, int m) {
  ASSERT(h >= 0 && h < huts_count);
  int last = huts_occu[h] - 1;
  if (last < 0) return -1;
  int i = 0;
  while (i <= last && huts_resi[h][i] != m) i++;
  if (i > last) return -1;
  huts_resi[h][i] = huts_resi[h][last];
  huts_rest[h][i] = huts_rest[h][last];
  huts_resi[h][last] = -1;
  huts_occu[h] = last;
  return m;
}

// One portion eaten; the last one frees the food and reopens the drop-off.
static void huts_eat(int h) {
  if (--huts_food[h] > 0) return;
  mtbe_add_event(huts_mtbr[h], building_now());
  food_release(huts_fdid[h]);
  huts_fdid[h] = -1;
  building_set_group(huts_cidx[h], huts_template, FOOD, FOOD);
}

// A servant leaves with its empty plate. Servants past the plate table's
// capacity never had one and simply go back to work; a full plate cannot
// come from play, only from a doctored save, and is logged, not fatal.
static void huts_check_plate(int m) {
  int p = plates_find(m);
  if (p >= 0 && plates_full[p] != 0) LOG("ERR Plate was already filled for carrier %d", m);
}

static void huts_send_back(int m, uint32_t* goal) {
  uint32_t trade = crowd_trade[m];
  if (trade >= TRADECNT) {
    LOG("ERR The trade of occupant %d is set to invalid value %d", m, (int)trade);
    return;
  }
  if (trade == 3) huts_check_plate(m);
  goal[m] = crowd_first_state(trade);
}

static void huts_rest_residents(int h, float dt, uint32_t* goal) {
  // Downwards: a leaver's slot is refilled by the last resident, already handled.
  for (int i = huts_occu[h] - 1; i >= 0; i--) {
    huts_rest[h][i] += dt;
    if (huts_rest[h][i] < HUTS_RESTTIME || huts_food[h] < 1) continue;
    huts_eat(h);
    int m = huts_resi[h][i];
    int removed = huts_leave(h, m);
    ASSERT(removed >= 0);
    huts_send_back(m, goal);
  }
}

// Tired workers spread over huts with room and food; servants go where food
// has been missing longest with the most residents waiting.
static void huts_set_weights(int h) {
  float now = building_now();
  float ro = mtbe_rate(huts_mtbo[h], now);
  float rb = mtbe_rate(huts_mtbb[h], now);
  building_set_weight(huts_cidx[h], huts_template, REST,
                      3.0f * huts_food[h] - (12.0f * rb + 10.0f * ro));
  float food_weight = 0.0f;
  if (huts_food[h] == 0) {
    int r = huts_mtbr[h];
    float since = r == -1 ? 0.0f : now - mtbe_last[r];
    food_weight = 0.4f * since + 5.0f * huts_occu[h];
  }
  building_set_weight(huts_cidx[h], huts_template, FOOD, food_weight);
}

void huts_update(float dt, uint32_t* goal) {
  for (int h = 0; h < huts_count; h++) {
    huts_rest_residents(h, dt, goal);
    huts_set_weights(h);
  }
}

bool huts_serialize(int out, FILE* f) { return building_serialize(&table, out, f); }
