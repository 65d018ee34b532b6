#include "taxc.h"

#include <algorithm>

#include "building.h"
#include "food.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "wld.h"

int32_t taxc_silver = TAXC_START_SILVER;
int32_t taxc_count;
int32_t taxc_cidx[MAXTAXC];
int32_t taxc_fdid[MAXTAXC];
int32_t taxc_food[MAXTAXC];
float taxc_trfs[MAXTAXC][16];
int32_t taxc_mtbf[MAXTAXC];

// The food drop-off in the middle, walled in all round.
static const uint8_t taxc_template[FOOTPRINT] = {BLDG, BLDG, BLDG, BLDG, FOOD,
                                                 BLDG, BLDG, BLDG, BLDG};

// An office with no food counting down.
static void taxc_empty(int t) {
  taxc_fdid[t] = -1;
  taxc_food[t] = 0;
}

// An office is idle (no food, no countdown) or holds one food item counting down.
static bool taxc_offices_valid(int n) {
  for (int t = 0; t < n; t++) {
    int fd = taxc_fdid[t], steps = taxc_food[t];
    bool idle = fd == -1 && steps == 0;
    bool holding = fd >= 0 && fd < MAXFOOD && steps >= 1 && steps <= TAXC_STEPS;
    if (!idle && !holding) {
      LOG("ERR Saved game: tax office %d holds food %d for %d steps", t, fd, steps);
      return false;
    }
  }
  return true;
}

static const BuildingTable table = {
    "taxc",
    "tax office",
    "tax offices",
    MAXTAXC,
    &taxc_count,
    taxc_cidx,
    taxc_template,
    {taxc_mtbf},
    "taxc_silver",
    &taxc_silver,
    TAXC_MAX_SILVER,
    {building_ints("cidx", taxc_cidx), building_ints("fdid", taxc_fdid),
     building_ints("food", taxc_food), building_floats("trfs", &taxc_trfs[0][0], 16),
     building_ints("mtbf", taxc_mtbf)},
    taxc_offices_valid,
    taxc_empty,
    false,
};

void taxc_reset() {
  building_reset(&table);
  taxc_silver = TAXC_START_SILVER;
}

int taxc_add(int x, int y) {
  if (!building_can_add(&table, x, y)) return -1;
  int t = building_append(&table, x, y);
  taxc_stamp_footprint(t);
  building_matrix(taxc_trfs[t], taxc_cidx[t]);
  return t;
}

void taxc_stamp_footprint(int t) {
  ASSERT(t >= 0 && t < taxc_count);
  building_set_group(taxc_cidx[t], taxc_template, FOOD, FOOD);
  building_set_group(taxc_cidx[t], taxc_template, BLDG, BLDG);
}

void taxc_update() {
  for (int t = 0; t < taxc_count; t++) {
    if (taxc_food[t] > 0 && --taxc_food[t] == 0) {
      food_release(taxc_fdid[t]);
      taxc_fdid[t] = -1;
      taxc_silver = std::min(taxc_silver + TAXC_PAY, TAXC_MAX_SILVER);
      notify_post(MSG_NEWSILVER);
    }
    building_set_weight(taxc_cidx[t], taxc_template, FOOD, 2.0f);
  }
}

// The silver is saved and loaded with the offices.
bool taxc_serialize(int out, FILE* f) { return building_serialize(&table, out, f); }
