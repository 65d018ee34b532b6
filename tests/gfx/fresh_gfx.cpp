#include "fresh_gfx.h"

#include "geomdb.h"
#include "glpr.h"
#include "light.h"
#include "quad.h"
#include "txdb_raw.h"

void fresh_gfx_only() {
  quad_delete();
  geomdb_reset();
  txdb_reset();
  glpr_reset();
  light_reset();
}

void fresh_gfx() {
  fresh_core();
  fresh_gfx_only();
}
