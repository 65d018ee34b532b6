#include "stones_draw.h"

#include "inst_draw.h"
#include "models.h"
#include "stones.h"

int32_t stones_draw(const float cam[5][16]) {
  return inst_draw(cam, &geomdesc_stone, stones_inst, STONECNT) +
         inst_draw(cam, &geomdesc_buildmark, stones_markmat, nummarks);
}

int32_t stones_draw_lines(const float cam[5][16]) {
  return inst_draw_lines(cam, &geomdesc_stone, stones_inst, STONECNT);
}
