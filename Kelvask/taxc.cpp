#include "taxc.h"

#include "building.h"
#include "food.h"
#include "log.h"
#include "mtbe.h"
#include "notify.h"
#include "savefile.h"
#include "wld.h"
#include "wld_update.h"

int32_t taxc_silver = TAXC_START_SILVER;
int32_t taxc_count;
int32_t taxc_cidx[MAXTAXC];
int32_t taxc_fdid[MAXTAXC];
int32_t taxc_food[MAXTAXC];
float taxc_trfs[MAXTAXC][16];
int32_t taxc_mtbf[MAXTAXC];

// The food drop-off in the middle, walled in all round.
static const uint8_t taxc_template[FOOTPRINT] = {BLDG, BLDG, BLDG, BLDG, FOOD, BLDG, BLDG, BLDG, BLDG};

void taxc_clear() {
  taxc_count = 0;
  for (int t = 0; t < MAXTAXC; t++) {
    taxc_cidx[t] = 0;
    taxc_fdid[t] = -1;
    taxc_food[t] = 0;
    taxc_mtbf[t] = -1;
  }
}

int taxc_add(int x, int y) {
  if (taxc_count >= MAXTAXC) {
    LOG("ERR All %d tax offices are built.", MAXTAXC);
    return -1;
  }
  if (!building_site_free(x, y)) {
    LOG("Too close to a goal cell.");
    return -1;
  }
  int t = taxc_count++;
  taxc_cidx[t] = y * GRIDSZ + x;
  taxc_fdid[t] = -1;
  taxc_food[t] = 0;
  taxc_mtbf[t] = mtbe_create(64, (float)wld_age);
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
      taxc_silver += TAXC_PAY;
      notify_post("newsilver");
    }
    building_set_weight(taxc_cidx[t], taxc_template, FOOD, 2.0f);
  }
}

static bool taxc_fields(int out, FILE* f, int n) {
  return building_io_ints(out, f, "taxc_cidx", taxc_cidx, n) &&
         building_io_ints(out, f, "taxc_fdid", taxc_fdid, n) &&
         building_io_ints(out, f, "taxc_food", taxc_food, n) &&
         building_io_float_rows(out, f, "taxc_trfs", &taxc_trfs[0][0], 16, n) &&
         building_io_ints(out, f, "taxc_mtbf", taxc_mtbf, n);
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

bool taxc_serialize(int out, FILE* f) {
  if (!f) {
    LOG("ERR No text save stream for the tax offices.");
    return false;
  }
  if (out) {
    save_write_int(f, "taxc_count", taxc_count);
    save_write_int(f, "taxc_silver", taxc_silver);
    return taxc_fields(1, f, taxc_count);
  }
  // The count goes live only once the whole section has passed its checks.
  taxc_count = 0;
  int n, silver;
  if (!save_read_count(f, "taxc_count", 0, MAXTAXC, &n) || !save_read_int(f, "taxc_silver", &silver))
    return false;
  if (!taxc_fields(0, f, n) || !building_centres_valid("tax office", taxc_cidx, n) ||
      !building_tracks_valid("tax office", taxc_mtbf, n) || !taxc_offices_valid(n))
    return false;
  taxc_count = n;
  taxc_silver = silver;
  return true;
}
