#include "wld_save_check.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "bakeries.h"
#include "buckets.h"
#include "building.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "log.h"
#include "plates.h"
#include "savefile.h"
#include "sickles.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_jobs.h"
#include "wld_state.h"

bool wld_check_header(double* age, const int32_t* queues) {
  if (!(*age >= 0.0)) {
    LOG("ERR Saved game: age %f below 0.", *age);
    return false;
  }
  *age = std::min(*age, SAVE_MAXTIME);
  for (int q = 0; q < TRADECNT; q++)
    if (queues[q] < 0) {
      LOG("ERR Saved game: spawn queue %d holds %d.", q, queues[q]);
      return false;
    }
  return true;
}

bool wld_check_members() {
  int dead = 0;
  for (int i = 0; i < crowd_sz; i++) dead += crowd_goal[i] == JOB_DEAD;
  if (wld_numdead != dead) {
    LOG("ERR Saved game: wld_numdead %d, but %d of %d members are dead.", wld_numdead, dead,
        crowd_sz);
    return false;
  }
  for (int i = 0; i < crowd_sz; i++) {
    if (!(crowd_time[i] >= 0.0)) {
      LOG("ERR Saved game: member %d with move time %f.", i, crowd_time[i]);
      return false;
    }
    crowd_time[i] = std::min(crowd_time[i], SAVE_MAXTIME);
  }
  // A hire adds no more than the crowd has room for; the queues that spawn
  // first keep theirs.
  int room = CROWDSZ - crowd_sz;
  for (int q = 0; q < TRADECNT; q++) {
    spawnqueues[q] = std::min(spawnqueues[q], room);
    room -= spawnqueues[q];
  }
  return true;
}

// A member's transform as the world writes it: a turn (and the scale to
// nothing of a resting member) in the first three columns, the place in the
// last, beside the limb swing. A dead member keeps the one it died with,
// which death itself shifts by a column.
static bool transform_ok(const float* m) {
  for (int k = 0; k < 12; k++)
    if (!(fabsf(m[k]) <= SAVE_TURN_MOST)) return false;
  for (int k = 12; k < 15; k++)
    if (!(fabsf(m[k]) <= SAVE_FAR)) return false;
  return true;
}

// The swing grows with the speed a jam pushes a member to, and earlier
// versions let it run away; only the dead keep it past the next frame.
static void hold_swing(float* m) {
  if (!(fabsf(m[15]) <= SAVE_FAR)) m[15] = 0.0f;
}

// Types 10 (only in the cats' copy), 11, 12, 14 and 15 are never written.
static bool known_cell_type(int type) { return type <= REST || type == BLDG; }

// The whole tables are first scanned without a branch per entry: nearly every
// table is whole, and only a faulty one pays for the loop that names the
// first fault.
static bool emotes_known() {
  unsigned unknown = 0;  // any bit above the lowest two, or both of them: 3 and above
  for (int i = 0; i < CROWDSZ; i++)
    unknown |= wld_emote[i] >> 2 | (wld_emote[i] & wld_emote[i] >> 1);
  return unknown == 0;
}

static bool cell_types_known() {
  unsigned seen = 0, known = 0;
  for (int c = 0; c < GRIDCELLS; c++) seen |= 1u << grid_celltype(wld_cellflags[c]);
  for (int type = 0; type < 16; type++) known |= (unsigned)known_cell_type(type) << type;
  return (seen & ~known) == 0;
}

// The last version's steering could fling a member far off the site, or past
// any number: it stands again where play puts a member back, in the nearest
// cell with an open side, or anywhere on the grid as in the water. Its
// transform's place goes with it.
static void put_back_far_member(int i) {
  const float x = crowd_posx[i], y = crowd_posy[i];
  const int c = wld_nearest_cell(wld_cellflags, 0x0f, x, y);
  crowd_posx[i] = c >= 0 ? (float)(c % GRIDSZ) + 0.5f : wld_random_coord();
  crowd_posy[i] = c >= 0 ? (float)(c / GRIDSZ) + 0.5f : wld_random_coord();
  float* m = wld_trfs[i];
  m[12] = crowd_posx[i];
  m[13] = crowd_posy[i];
  m[14] = grid_z(wld_height[grid_cidx(wld_grid_coord(m[12]), wld_grid_coord(m[13]))]);
  LOG("Member %d saved at (%f, %f) is put back on the grid at (%f, %f).", i, x, y, m[12], m[13]);
}

bool wld_check_member_arrays() {
  for (int i = 0; i < crowd_sz; i++)
    if (!save_near_site(crowd_posx[i]) || !save_near_site(crowd_posy[i])) put_back_far_member(i);
  if (!emotes_known())
    for (int i = 0; i < CROWDSZ; i++)
      if (wld_emote[i] > 2) {
        LOG("ERR Saved game: member %d shows emote %u.", i, wld_emote[i]);
        return false;
      }
  for (int i = 0; i < crowd_sz; i++) {
    hold_swing(wld_trfs[i]);
    if (!std::isfinite(wld_worktime[i]) || !std::isfinite(wld_exhausttime[i]) ||
        !transform_ok(wld_trfs[i])) {
      LOG("ERR Saved game: member %d has times that are not numbers or a transform the world "
          "does not write.",
          i);
      return false;
    }
  }
  if (!cell_types_known())
    for (int c = 0; c < GRIDCELLS; c++)
      if (!known_cell_type(grid_celltype(wld_cellflags[c]))) {
        LOG("ERR Saved game: cell %d has type %d.", c, grid_celltype(wld_cellflags[c]));
        return false;
      }
  return true;
}

// An owner field: -1 for none, else an index below limit.
static bool owner_ok(const char* what, int slot, int v, int limit) {
  if (v >= -1 && v < limit) return true;
  LOG("ERR Saved game: %s %d names %d of %d.", what, slot, v, limit);
  return false;
}

static bool carriers_ok(const char* what, const int32_t* carr, int n) {
  for (int i = 0; i < n; i++)
    if (carr[i] < 0 || carr[i] >= crowd_sz) {
      LOG("ERR Saved game: %s %d is carried by %d of %d members.", what, i, carr[i], crowd_sz);
      return false;
    }
  return true;
}

static bool items_ok() {
  for (int f = 0; f < MAXFOOD; f++)
    if (!owner_ok("food (carrier)", f, food_carr[f], crowd_sz) ||
        !owner_ok("food (bakery)", f, food_bkry[f], bakeries_count) ||
        !owner_ok("food (hut)", f, food_huts[f], huts_count) ||
        !owner_ok("food (tax office)", f, food_taxc[f], taxc_count))
      return false;
  for (int g = 0; g < MAXGRAIN; g++)
    if (!owner_ok("grain (carrier)", g, grain_carr[g], crowd_sz) ||
        !owner_ok("grain (bakery)", g, grain_bkry[g], bakeries_count))
      return false;
  for (int k = 0; k < STONECNT; k++)
    if ((stones_stat[k] & STONE_CARRIED) && (int)(stones_stat[k] & STONE_CARRMSK) >= crowd_sz) {
      LOG("ERR Saved game: block %d is carried by %u of %d members.", k,
          stones_stat[k] & STONE_CARRMSK, crowd_sz);
      return false;
    }
  return true;
}

// A bakery's stacks hold its own items, each once: taking the same food twice
// would find it already gone.
static bool stores_ok() {
  static bool seen_grain[MAXGRAIN], seen_food[MAXFOOD];
  memset(seen_grain, 0, sizeof seen_grain);
  memset(seen_food, 0, sizeof seen_food);
  for (int b = 0; b < bakeries_count; b++) {
    bool ok = true;
    for (int k = 0; ok && k < bakeries_grai[b]; k++) {
      int g = bakeries_gids[b][k];
      ok = grain_bkry[g] == b && !seen_grain[g];
      seen_grain[g] = true;
    }
    for (int k = 0; ok && k < bakeries_food[b]; k++) {
      int f = bakeries_fids[b][k];
      if (f < 0) continue;
      ok = food_bkry[f] == b && !seen_food[f];
      seen_food[f] = true;
    }
    if (!ok) {
      LOG("ERR Saved game: bakery %d holds grain or food that is not its own.", b);
      return false;
    }
  }
  return true;
}

static bool held_food_ok() {
  for (int h = 0; h < huts_count; h++)
    if (huts_fdid[h] >= 0 && food_huts[huts_fdid[h]] != h) {
      LOG("ERR Saved game: hut %d holds food %d that lies elsewhere.", h, huts_fdid[h]);
      return false;
    }
  for (int t = 0; t < taxc_count; t++)
    if (taxc_fdid[t] >= 0 && food_taxc[taxc_fdid[t]] != t) {
      LOG("ERR Saved game: tax office %d holds food %d that lies elsewhere.", t, taxc_fdid[t]);
      return false;
    }
  return true;
}

// Kinds of building in the order their walls go up; farms have none.
struct Kind {
  const char* what;
  const int32_t* centres;
  const int32_t* count;
  bool walled;
};

// No two buildings share a footprint cell, and a walled one has the whole
// 5 by 5 area of its walls on the grid: placement never allows either, and
// the walls of such a pair would be built twice at every start.
static bool buildings_apart() {
  static uint8_t taken[GRIDCELLS];
  memset(taken, 0, sizeof taken);
  const Kind kinds[] = {{"farm", farms_cidx, &farms_count, false},
                        {"bakery", bakeries_cidx, &bakeries_count, true},
                        {"hut", huts_cidx, &huts_count, true},
                        {"tax office", taxc_cidx, &taxc_count, true}};
  for (const Kind& kind : kinds)
    for (int i = 0; i < *kind.count; i++) {
      const int x = kind.centres[i] % GRIDSZ, y = kind.centres[i] / GRIDSZ;
      bool ok = !kind.walled || (x >= 2 && y >= 2 && x < GRIDSZ - 2 && y < GRIDSZ - 2);
      for (int k = 0; ok && k < FOOTPRINT; k++) ok = !taken[building_cell(kind.centres[i], k)]++;
      if (!ok) {
        LOG("ERR Saved game: %s %d at %d,%d overlaps another building or leaves the site.",
            kind.what, i, x, y);
        return false;
      }
    }
  return true;
}

bool wld_check_references() {
  return carriers_ok("bucket", buckets_carr, buckets_count) &&
         carriers_ok("sickle", sickles_carr, sickles_count) &&
         carriers_ok("plate", plates_carr, plates_count) && items_ok() && stores_ok() &&
         held_food_ok() && buildings_apart();
}
