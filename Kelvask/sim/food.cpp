#include "food.h"

#include "bakeries.h"
#include "crowd.h"
#include "huts.h"
#include "items.h"
#include "log.h"
#include "taxc.h"

int32_t food_bkry[MAXFOOD];
int32_t food_carr[MAXFOOD];
int32_t food_huts[MAXFOOD];
int32_t food_taxc[MAXFOOD];
float food_trfs[MAXFOOD][16];

static const ItemPool pool = {
    "food",
    MAXFOOD,
    food_trfs,
    {{food_bkry, MAXBAKERIES, "bkry"},
     {food_carr, CROWDSZ, "carr"},
     {food_huts, MAXHUTS, "huts"},
     {food_taxc, MAXTAXC, "taxc"}},
};

void food_clear() { items_clear(&pool); }

void food_reset() {
  food_clear();
  items_zero_matrices(&pool);
}

int food_create_at_bakery(int b, const float pos[3]) {
  int f = items_lowest_free(&pool);
  if (f < 0) {
    LOG("ERR Could not assign a food to bakery %d", b);
    return -1;
  }
  food_bkry[f] = b;
  items_place(food_trfs[f], pos);
  return f;
}

int food_pick_up(int f, int c) {
  if (f < 0 || f >= MAXFOOD) return -1;
  int bakery = food_bkry[f];
  ASSERT(bakery >= 0);
  food_bkry[f] = -1;
  food_carr[f] = c;
  return f;
}

int food_find_carried(int c) { return c < 0 ? -1 : items_find(&pool, food_carr, c); }

void food_deliver(int f, int h, int t, const float pos[3]) {
  if (f < 0 || f >= MAXFOOD) {
    LOG("ERR No food %d to deliver.", f);
    return;
  }
  food_carr[f] = -1;
  food_huts[f] = h;
  food_taxc[f] = t;
  items_lay_down(food_trfs[f], pos);
}

void food_release(int f) { items_release(&pool, f); }

int food_count_in_use() { return items_count_in_use(&pool); }

void food_follow_carriers(const float (*trfs)[16]) {
  items_follow_carriers(&pool, food_carr, trfs, 0.0f, ITEMS_LIFT);
}

// Every food a bakery lists must be held by that bakery, or picking it up
// later would break the pool's invariant.
static bool bakery_lists_valid() {
  for (int b = 0; b < bakeries_count && b < MAXBAKERIES; b++)
    for (int j = 0; j < bakeries_food[b] && j < BAKERY_FOOD; j++) {
      int id = bakeries_fids[b][j];
      if (id != -1 && (id < 0 || id >= MAXFOOD || food_bkry[id] != b)) {
        LOG("ERR Saved game: bakery %d lists food %d that it does not hold.", b, id);
        return false;
      }
    }
  return true;
}

bool food_serialize(int out, FILE* f) {
  if (!out) food_clear();
  return items_serialize(&pool, out, f) && (out || bakery_lists_valid());
}
