#include "worktools_draw.h"

#include "buckets.h"
#include "inst_draw.h"
#include "models.h"
#include "plates.h"
#include "sickles.h"

static geomdesc* const BUCKETS[2] = {&geomdesc_bucke, &geomdesc_buckf};
static geomdesc* const PLATES[2] = {&geomdesc_platee, &geomdesc_platef};

static int32_t buckets_in(int full) { return full ? buckets_numf : buckets_nume; }
static int32_t plates_in(int full) { return full ? plates_numf : plates_nume; }

int32_t buckets_draw(const float cam[5][16], int full) {
  return inst_draw(cam, BUCKETS[full != 0], buckets_inst[full != 0], buckets_in(full));
}

int32_t plates_draw(const float cam[5][16], int full) {
  return inst_draw(cam, PLATES[full != 0], plates_inst[full != 0], plates_in(full));
}

int32_t sickles_draw(const float cam[5][16]) {
  return inst_draw(cam, &geomdesc_sickle, sickles_inst, sickles_count);
}

int32_t buckets_draw_lines(const float cam[5][16], int full) {
  return inst_draw_lines(cam, BUCKETS[full != 0], buckets_inst[full != 0], buckets_in(full));
}

int32_t plates_draw_lines(const float cam[5][16], int full) {
  return inst_draw_lines(cam, PLATES[full != 0], plates_inst[full != 0], plates_in(full));
}

int32_t sickles_draw_lines(const float cam[5][16]) {
  return inst_draw_lines(cam, &geomdesc_sickle, sickles_inst, sickles_count);
}
