#include "farms.h"

#include <initializer_list>

#include "building.h"
#include "log.h"
#include "mtbe.h"
#include "wld.h"

int32_t farms_count;
int32_t farms_cidx[MAXFARMS];
float farms_watr[MAXFARMS];
float farms_size[MAXFARMS][FARM_PLANTS];
int32_t farms_prod[MAXFARMS];
int32_t farms_cons[MAXFARMS];
int32_t farms_blck[MAXFARMS];
int32_t farms_mtbw[MAXFARMS];
int32_t farms_mtbh[MAXFARMS];
int32_t farms_mtbb[MAXFARMS];
float farms_trfs[MAXFARMS][FARM_PLANTS][16];

// Water on the north row and the west cell, grain on the east cell and the
// south row; the centre is never written.
static const uint8_t farm_template[FOOTPRINT] = {FARM, FARM, FARM, FARM, BLDG,
                                                 GRAI, GRAI, GRAI, GRAI};

#define FARM_WATER_FULL 20.0f   // deliveries are refused from here on
#define FARM_WATER_REOPEN 9.0f  // growth below this opens the water cells again
#define FARM_WATER_DELIVERY 0.5f
#define FARM_WATER_USE 0.072  // per second of growth
#define FARM_GROWTH 0.24      // per second
// Bounds of what play reaches, with room for the longest update step.
#define FARM_WATER_LOWEST -1.0f
#define FARM_WATER_HIGHEST (FARM_WATER_FULL + FARM_WATER_DELIVERY)
#define FARM_SIZE_HIGHEST 2.0f

// What play can leave: the growing and the next harvested plant are plants of
// the farm, the water lies between what one step's use takes below zero and a
// last delivery past full, and no plant is grown past one step beyond ripe.
static bool farm_valid(int i) {
  for (int v : {farms_prod[i], farms_cons[i]})
    if (v < 0 || v >= FARM_PLANTS) {
      LOG("ERR Saved game: farm %d has plant cursor %d outside 0..8", i, v);
      return false;
    }
  if (!(farms_watr[i] >= FARM_WATER_LOWEST && farms_watr[i] <= FARM_WATER_HIGHEST)) {
    LOG("ERR Saved game: farm %d holds water %f", i, farms_watr[i]);
    return false;
  }
  for (int k = 0; k < FARM_PLANTS; k++)
    if (!(farms_size[i][k] >= 0.0f && farms_size[i][k] <= FARM_SIZE_HIGHEST)) {
      LOG("ERR Saved game: farm %d has plant %d of size %f", i, k, farms_size[i][k]);
      return false;
    }
  return true;
}

static bool farms_valid(int n) {
  for (int i = 0; i < n; i++)
    if (!farm_valid(i)) return false;
  return true;
}

// A dry farm with no plant growing and no refusal seen.
static void farm_empty(int i) {
  farms_watr[i] = 0.0f;
  for (int k = 0; k < FARM_PLANTS; k++) farms_size[i][k] = 0.0f;
  farms_prod[i] = 0;
  farms_cons[i] = 0;
  farms_blck[i] = 0;
}

static const BuildingTable table = {
    "farms",
    "farm",
    "farms",
    MAXFARMS,
    &farms_count,
    farms_cidx,
    farm_template,
    {farms_mtbw, farms_mtbh, farms_mtbb},
    nullptr,
    nullptr,
    0,
    {building_ints("cidx", farms_cidx), building_floats("watr", farms_watr),
     building_floats("size", &farms_size[0][0], FARM_PLANTS), building_ints("prod", farms_prod),
     building_ints("cons", farms_cons), building_ints("blck", farms_blck),
     building_ints("mtbw", farms_mtbw), building_ints("mtbh", farms_mtbh),
     building_ints("mtbb", farms_mtbb),
     building_floats("trfs", &farms_trfs[0][0][0], FARM_PLANTS * 16)},
    farms_valid,
    farm_empty,
    true,
};

void farms_reset() { building_reset(&table); }

int farms_add(int x, int y) {
  if (farms_count >= MAXFARMS) {
    LOG("ERR All %d farms are in use, no farm added at %d,%d.", MAXFARMS, x, y);
    return -1;
  }
  if (!building_fits(x, y)) {
    LOG("ERR Farm at %d,%d: cell out of bounds.", x, y);
    return -1;
  }
  int i = building_append(&table, x, y);
  for (int k = 0; k < FARM_PLANTS; k++) {
    int c = building_cell(farms_cidx[i], k);
    if (wld_height[c] < 255) wld_height[c]++;  // the plot is raised
    building_matrix(farms_trfs[i][k], c);
    farms_trfs[i][k][10] = 0.0f;
  }
  // Its edges at once, as a load would build them: a plot on uneven ground
  // may stand a cliff above a neighbour.
  for (int k = 0; k < FARM_PLANTS; k++) wld_update_cell_costs(building_cell(farms_cidx[i], k));
  building_set_group(farms_cidx[i], farm_template, FARM, FARM);
  building_set_group(farms_cidx[i], farm_template, GRAI, GRAI);
  return i;
}

int farms_find_at(int cidx) { return building_find_at(farms_cidx, farms_count, cidx); }

int farms_deliver_water(int cidx) {
  int f = farms_find_at(cidx);
  if (f < 0) return -1;
  int goal = grid_celltype(wld_cellflags[cidx]);
  if (goal != FARM) {
    LOG("farm nr %d at cidx %d is not a FARM goal. Goal = %d.", f, cidx, goal);
    return -1;
  }
  mtbe_add_event(farms_mtbw[f], building_now());  // a full farm counts the arrival too
  if (farms_watr[f] < FARM_WATER_FULL) {
    farms_watr[f] += FARM_WATER_DELIVERY;
    return f;
  }
  building_set_group(farms_cidx[f], farm_template, FARM, BLDG);
  return -1;
}

int farms_harvest(int cidx) {
  int f = farms_find_at(cidx);
  if (f < 0) {
    LOG("No farm found at cidx %d", cidx);
    return -1;
  }
  int goal = grid_celltype(wld_cellflags[cidx]);
  if (goal != GRAI) {
    LOG("farm nr %d at cidx %d is not a GRAI goal. Goal = %d.", f, cidx, goal);
    return -1;
  }
  if (farms_count_ripe(f) > 0) {
    mtbe_add_event(farms_mtbh[f], building_now());
    // Plants ripen and are taken in index order: the oldest ripe one is at cons.
    farms_size[f][farms_cons[f]] = 0.0f;
    farms_cons[f] = (farms_cons[f] + 1) % FARM_PLANTS;
    return f;
  }
  farms_blck[f]++;
  return -1;
}

static void farm_grow(int f, float dt) {
  farms_watr[f] -= dt * FARM_WATER_USE;
  float& size = farms_size[f][farms_prod[f]];
  size += dt * FARM_GROWTH;
  if (size >= 1.0f) farms_prod[f] = (farms_prod[f] + 1) % FARM_PLANTS;
  if (farms_watr[f] < FARM_WATER_REOPEN)
    building_set_group(farms_cidx[f], farm_template, FARM, FARM);
}

static void farm_update(int f, float dt) {
  int ripe = farms_count_ripe(f);
  if (ripe < FARM_PLANTS && farms_watr[f] > 0.0f) farm_grow(f, dt);
  if (farms_blck[f] != 0) mtbe_add_event(farms_mtbb[f], building_now());
  float t = building_now();
  float rw = mtbe_rate(farms_mtbw[f], t);
  float rh = mtbe_rate(farms_mtbh[f], t);
  float rb = mtbe_rate(farms_mtbb[f], t);
  // Refusals piling up close the grain cells; without a refusal track there
  // is no evidence of that, so the cells stay as they are.
  if (farms_mtbb[f] >= 0 && mtbe_mean(farms_mtbb[f], t) < 0.02f && farms_blck[f] >= 4)
    building_set_group(farms_cidx[f], farm_template, GRAI, BLDG);
  if (ripe > 3) building_set_group(farms_cidx[f], farm_template, GRAI, GRAI);
  building_set_weight(farms_cidx[f], farm_template, FARM, 2.0f * farms_water_need(f) - 100.0f * rw);
  building_set_weight(farms_cidx[f], farm_template, GRAI,
                      2.0f * farms_count_ripe(f) - (80.0f * rh + rb));
  farms_blck[f] = 0;
}

void farms_update(float dt) {
  for (int f = 0; f < farms_count; f++) farm_update(f, dt);
}

int farms_count_ripe(int f) {
  ASSERT(f >= 0 && f < farms_count);
  int n = 0;
  for (int k = 0; k < FARM_PLANTS; k++) n += farms_size[f][k] >= 1.0f;
  return n;
}

float farms_water_need(int f) {
  ASSERT(f >= 0 && f < farms_count);
  float need = 0.0f;
  for (int k = 0; k < FARM_PLANTS; k++)
    if (farms_size[f][k] < 1.0f) need += 1.0f - farms_size[f][k];
  return need - farms_watr[f];
}

int farms_total_water() {
  float sum = 0.0f;
  for (int f = 0; f < farms_count; f++) sum += farms_watr[f];
  return (int)(2.0f * sum);
}

void farms_update_plants() {
  for (int f = 0; f < farms_count; f++)
    for (int k = 0; k < FARM_PLANTS; k++) farms_trfs[f][k][10] = farms_size[f][k] * 6.0f + 1.0f;
}

int farms_count_watered() {
  int n = 0;
  for (int f = 0; f < farms_count; f++) n += farms_watr[f] > 0.0f;
  return n;
}

bool farms_serialize(int out, FILE* f) { return building_serialize(&table, out, f); }
