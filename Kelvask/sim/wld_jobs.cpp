#include "wld_jobs.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "bakeries.h"
#include "buckets.h"
#include "building.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "log.h"
#include "msgwords.h"
#include "mtbe.h"
#include "notify.h"
#include "plates.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_physics.h"
#include "wld_state.h"

float wld_work_limit(int i) {
  float aged = (float)((i % 16) * 10 + 200) - 0.006f * (float)crowd_time[i];
  return std::max((float)(i / 100 + 33), aged);
}

float wld_exhaust_limit(int i) {
  return std::max((float)(i / 100 + 10), 125.0f - 0.006f * (float)crowd_time[i]);
}

void wld_kill(int i) {
  wld_remove_body(i);
  wld_numdead++;
  // Lay the model on its back: up becomes forward, forward becomes down, and
  // it falls 0.7 along its old forward axis.
  float* m = wld_trfs[i];
  float fwd[3] = {m[4], m[5], m[6]};
  for (int k = 0; k < 3; k++) {
    m[4 + k] = m[8 + k];
    m[8 + k] = -fwd[k];
    m[12 + k] += 0.7f * fwd[k];
  }
  crowd_goal[i] = JOB_DEAD;
  wld_emote[i] = 2;
}

void wld_update_fatigue(double dt) {
  for (int i = 0; i < crowd_sz; i++) {
    uint32_t s = crowd_goal[i];
    // Fetching water, grain, food and the walk to a stock rest the legs;
    // carrying and the way to a hut do not.
    if (s != JOB_RESTING && (s & 2) == 0) wld_worktime[i] = (float)(wld_worktime[i] + dt);
    if (s != JOB_TIRED) continue;
    wld_exhausttime[i] = (float)(wld_exhausttime[i] + dt);
    if (wld_exhausttime[i] > wld_exhaust_limit(i) && !sdlmain_cheat) wld_kill(i);
  }
}

static void post_fx(const char* name, int i) {
  char msg[128];
  snprintf(msg, sizeof msg, MSG_PLAYFX " nm=%s x=%f y=%f z=%f", name, crowd_posx[i], crowd_posy[i],
           crowd_groundz[i]);
  notify_post(msg);
}

// After a delivery: off to a hut when worked out, else back to fetching.
static void after_delivery(int i) {
  if (wld_worktime[i] <= wld_work_limit(i)) {
    crowd_goal[i] = crowd_first_state(crowd_trade[i]);
    return;
  }
  crowd_goal[i] = JOB_TIRED;
  wld_exhausttime[i] = 0.0f;
  wld_worktime[i] = 0.0f;
  wld_emote[i] = 1;
  if (huts_count == 0) notify_post(MSG_MISSINGHUT);
}

static void arrive_stock(int i) {
  if (stones_take(i) < 0) return;
  post_fx("stonepickup", i);
  crowd_goal[i] = JOB_CARRYSTONE;
}

static int carried_stone(int i) {
  for (int s = stones_numstocked; s < STONECNT; s++)
    if ((stones_stat[s] & STONE_CARRIED) && (stones_stat[s] & STONE_CARRMSK) == (uint32_t)i)
      return s;
  return -1;
}

// The block is laid where the last frame put it, which may lag the builder by a
// cell; the cell that rose is the block's, so its costs are the ones renewed.
static void arrive_mark(int i) {
  int s = carried_stone(i);
  if (s < 0) return;
  float x = stones_x[s], y = stones_y[s];
  if (!(x >= 0.0f && x < GRIDSZ && y >= 0.0f && y < GRIDSZ)) return;
  int sx = (int)x, sy = (int)y, cell = sy * GRIDSZ + sx;
  stones_cidx[s] = cell;
  if (grid_celltype(wld_cellflags[cell]) != MARK) return;
  bool changed = false;
  if (!stones_deposit(s, sx, sy, wld_height, &changed)) return;
  post_fx("stonedrop", i);
  after_delivery(i);
  if (changed) wld_update_cell_costs(cell);
}

static void arrive_water(int i) {
  buckets_set_full(i, 1);
  post_fx("waterpickup", i);
  crowd_goal[i] = JOB_CARRYWATER;
}

static void arrive_farm(int i) {
  if (farms_deliver_water(crowd_cidx[i]) < 0) return;
  buckets_set_full(i, 0);
  post_fx("waterdrop", i);
  after_delivery(i);
}

static void arrive_grain(int i) {
  if (farms_harvest(crowd_cidx[i]) < 0) return;
  crowd_goal[i] = JOB_CARRYGRAIN;
  if (grain_assign(i) < 0) LOG("ERR grain_assign( %d ) failed.", i);
  post_fx("grainpickup", i);
}

static void arrive_bakery_grain(int i) {
  int b = building_find_at(bakeries_cidx, bakeries_count, crowd_cidx[i]);
  if (b < 0) return;
  if (bakeries_grai[b] >= BAKERY_GRAIN) {
    bakeries_full[b]++;
    return;
  }
  int g = grain_find_carried(i);
  if (g < 0) {
    // The grain pool was exhausted at the harvest: nothing to drop.
    LOG("ERR Field worker %d reached bakery %d without grain.", i, b);
    crowd_goal[i] = JOB_FETCHGRAIN;
    return;
  }
  float pos[3];
  if (bakeries_drop_grain(g, pos, b) < 0) return;
  grain_drop_at_bakery(g, b, pos);
  post_fx("graindrop", i);
  after_delivery(i);
}

static void arrive_bakery_food(int i) {
  int b = building_find_at(bakeries_cidx, bakeries_count, crowd_cidx[i]);
  if (b < 0) return;
  if (bakeries_food[b] < 1) {
    bakeries_empt[b]++;
    return;
  }
  int id = bakeries_fids[b][--bakeries_food[b]];
  mtbe_add_event(bakeries_mtbp[b], (float)wld_age);
  crowd_goal[i] = JOB_CARRYFOOD;
  // A bake made while the food pool was full left an empty place.
  if (id < 0) return;
  post_fx("foodpickup", i);
  food_pick_up(id, i);
  int rv = plates_set_full(i, 1);
  if (rv < 1)
    LOG("ERR Failed to set plate of carrier %d at bakery %d to filled with food %d (return code "
        "%d).",
        i, b, id, rv);
}

// The office's tray takes one food at a time, in front of the building.
static bool office_takes(int t, int f, float pos[3]) {
  if (taxc_fdid[t] != -1) return false;
  taxc_fdid[t] = f;
  taxc_food[t] = TAXC_STEPS;
  pos[0] = taxc_trfs[t][12];
  pos[1] = taxc_trfs[t][13] - 0.9f;
  pos[2] = taxc_trfs[t][14] + 0.1f;
  mtbe_add_event(taxc_mtbf[t], (float)wld_age);
  return true;
}

static void arrive_food_drop(int i) {
  int c = crowd_cidx[i];
  int h = building_find_at(huts_cidx, huts_count, c);
  int t = building_find_at(taxc_cidx, taxc_count, c);
  if (h < 0 && t < 0) return;
  int f = food_find_carried(i);
  if (f < 0) {
    // It took an empty place at the bakery: nothing to hand over.
    LOG("ERR Servant %d reached a food drop-off without food.", i);
    crowd_goal[i] = JOB_FETCHFOOD;
    return;
  }
  float pos[3];
  if (h >= 0 && huts_deliver_food(h, f, pos) != -1)
    t = -1;
  else if (t >= 0 && office_takes(t, f, pos))
    h = -1;
  else
    return;
  food_deliver(f, h, t, pos);
  int rv = plates_set_full(i, 0);
  if (rv != 1) LOG("ERR Failed to set plate of carrier %d to empty (return code %d).", i, rv);
  post_fx("fooddrop", i);
  after_delivery(i);
}

static void arrive_rest(int i) {
  if (huts_enter(crowd_cidx[i], i) < 0) return;
  wld_exhausttime[i] = 0.0f;
  wld_emote[i] = 0;
  crowd_goal[i] = JOB_RESTING;
}

// A walking state's number is the cell type of its goal.
void wld_arrive(int i) {
  switch (crowd_goal[i]) {
    case STCK:
      arrive_stock(i);
      break;
    case MARK:
      arrive_mark(i);
      break;
    case WATR:
      arrive_water(i);
      break;
    case FARM:
      arrive_farm(i);
      break;
    case GRAI:
      arrive_grain(i);
      break;
    case BAKG:
      arrive_bakery_grain(i);
      break;
    case BAKF:
      arrive_bakery_food(i);
      break;
    case FOOD:
      arrive_food_drop(i);
      break;
    case REST:
      arrive_rest(i);
      break;
  }
}

float wld_random_coord() { return (float)(rand() & 0xffff) / 65536.0f * GRIDSZ; }

// A member pushed into the water comes back anywhere on the grid; should
// that be water again, the next update tries once more.
static void rescue(int i) {
  float x = wld_random_coord();
  float y = wld_random_coord();
  wld_move_body(i, x, y);
}

void wld_run_jobs() {
  for (int i = 0; i < crowd_sz; i++) {
    uint8_t f = wld_cellflags[crowd_cidx[i]];
    if (f == 0 && i != wld_selected && wld_bodies[i])
      rescue(i);
    else if ((uint32_t)grid_celltype(f) == crowd_goal[i])
      wld_arrive(i);
  }
}
