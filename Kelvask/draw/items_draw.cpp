#include "items_draw.h"

#include <cstring>

#include "farms.h"
#include "food.h"
#include "grain.h"
#include "inst_draw.h"
#include "models.h"

static float grain_inst[MAXGRAIN][16], food_inst[MAXFOOD][16];
static int32_t grain_numinst, food_numinst;

void items_draw_reset() {
  memset(grain_inst, 0, sizeof grain_inst);
  memset(food_inst, 0, sizeof food_inst);
  grain_numinst = food_numinst = 0;
}

static bool grain_in_use(int g) { return grain_carr[g] >= 0 || grain_bkry[g] >= 0; }
static bool food_in_use(int f) {
  return food_bkry[f] >= 0 || food_carr[f] >= 0 || food_huts[f] >= 0 || food_taxc[f] >= 0;
}

// The matrices of the slots in use, in slot order.
static int32_t items_gather(bool (*in_use)(int), const float (*trfs)[16], int32_t slots,
                            float (*out)[16]) {
  int32_t n = 0;
  for (int i = 0; i < slots; i++)
    if (in_use(i)) memcpy(out[n++], trfs[i], sizeof out[0]);
  return n;
}

int32_t grain_draw(const float cam[5][16]) {
  grain_numinst = items_gather(grain_in_use, grain_trfs, MAXGRAIN, grain_inst);
  return inst_draw(cam, &geomdesc_grain, grain_inst, grain_numinst);
}

int32_t food_draw(const float cam[5][16]) {
  food_numinst = items_gather(food_in_use, food_trfs, MAXFOOD, food_inst);
  return inst_draw(cam, &geomdesc_food, food_inst, food_numinst);
}

int32_t farms_draw(const float cam[5][16]) {
  return inst_draw(cam, &geomdesc_farm, farms_trfs[0], farms_count * FARM_PLANTS);
}

int32_t grain_draw_lines(const float cam[5][16]) {
  return inst_draw_lines(cam, &geomdesc_grain, grain_inst, grain_numinst);
}

int32_t food_draw_lines(const float cam[5][16]) {
  return inst_draw_lines(cam, &geomdesc_food, food_inst, food_numinst);
}

int32_t farms_draw_lines(const float cam[5][16]) {
  return inst_draw_lines(cam, &geomdesc_farm, farms_trfs[0], farms_count * FARM_PLANTS);
}
