#include "buildings_draw.h"

#include "bakeries.h"
#include "huts.h"
#include "inst_draw.h"
#include "models/models.h"
#include "taxc.h"

int32_t bakeries_draw(const float cam[5][16]) {
  return inst_draw(cam, &geomdesc_mappedbakery, bakeries_trfs, bakeries_count);
}

int32_t huts_draw(const float cam[5][16]) { return inst_draw(cam, &geomdesc_mappedtent, huts_trfs, huts_count); }

int32_t taxc_draw(const float cam[5][16]) {
  return inst_draw(cam, &geomdesc_mappedtaxcollector, taxc_trfs, taxc_count);
}
