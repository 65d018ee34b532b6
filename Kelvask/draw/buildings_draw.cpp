#include "buildings_draw.h"

#include <epoxy/gl.h>

#include "bakeries.h"
#include "glpr.h"
#include "huts.h"
#include "inst_draw.h"
#include "models.h"
#include "taxc.h"

static int32_t buildings_draw(const float cam[5][16], geomdesc* d, const float (*trfs)[16],
                              int32_t n) {
  if (n <= 0) return 0;
  glUniform1i(glpr_uniform("texturemap"), 0);
  return inst_draw(cam, d, trfs, n);
}

int32_t bakeries_draw(const float cam[5][16]) {
  return buildings_draw(cam, &geomdesc_mappedbakery, bakeries_trfs, bakeries_count);
}

int32_t huts_draw(const float cam[5][16]) {
  return buildings_draw(cam, &geomdesc_mappedtent, huts_trfs, huts_count);
}

int32_t taxc_draw(const float cam[5][16]) {
  return buildings_draw(cam, &geomdesc_mappedtaxcollector, taxc_trfs, taxc_count);
}
