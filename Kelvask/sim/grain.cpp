#include "grain.h"

#include "bakeries.h"
#include "crowd.h"
#include "items.h"
#include "log.h"

int32_t grain_carr[MAXGRAIN];
int32_t grain_bkry[MAXGRAIN];
float grain_trfs[MAXGRAIN][16];

static const ItemPool pool = {"grain",
                              MAXGRAIN,
                              grain_trfs,
                              {{grain_carr, CROWDSZ, "carr"}, {grain_bkry, MAXBAKERIES, "bkry"}}};

void grain_clear() { items_clear(&pool); }

void grain_reset() {
  grain_clear();
  items_zero_matrices(&pool);
}

int grain_assign(int c) {
  int g = items_lowest_free(&pool);
  if (g >= 0) grain_carr[g] = c;
  return g;
}

int grain_find_carried(int c) { return c < 0 ? -1 : items_find(&pool, grain_carr, c); }

void grain_drop_at_bakery(int g, int b, const float pos[3]) {
  if (g < 0 || g >= MAXGRAIN) {
    LOG("ERR No grain %d to drop.", g);
    return;
  }
  grain_carr[g] = -1;
  grain_bkry[g] = b;
  items_lay_down(grain_trfs[g], pos);
}

void grain_release(int g) { items_release(&pool, g); }

int grain_count_in_use() { return items_count_in_use(&pool); }

// Grain rides a little behind and lower than food.
void grain_follow_carriers(const float (*trfs)[16]) {
  items_follow_carriers(&pool, grain_carr, trfs, 0.1f, 1.0f);
}

bool grain_serialize(int out, FILE* f) {
  if (!out) grain_clear();
  return items_serialize(&pool, out, f);
}
