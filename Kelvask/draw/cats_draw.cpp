#include "cats_draw.h"

#include <cstring>

#include "cats.h"
#include "geomdb.h"
#include "inst_draw.h"
#include "log.h"
#include "models.h"

void cats_init() {
  LOG("cats_init()");
  geomdb_add(&geomdesc_catsit, MAXCATS, false);
  geomdb_add(&geomdesc_catstand, MAXCATS, false);
}

int32_t cats_draw(const float cam[5][16]) {
  static float sitting[MAXCATS][16], walking[MAXCATS][16];
  int32_t numsit = 0, numsta = 0;
  for (int32_t i = 0; i < cats_count; i++) {
    float* to = cats_walking[i] ? walking[numsta++] : sitting[numsit++];
    memcpy(to, cats_trfs[i], sizeof cats_trfs[i]);
  }
  ASSERT(numsit + numsta == cats_count);
  return inst_draw(cam, &geomdesc_catsit, sitting, numsit) +
         inst_draw(cam, &geomdesc_catstand, walking, numsta);
}
