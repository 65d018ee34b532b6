// With the context current the GL objects go with the records; without one,
// only records that hold no GL objects may be left.
#pragma once
#include "fresh_core.h"
#include "geomdb.h"
#include "glpr.h"
#include "light.h"
#include "quad.h"
#include "txdb_raw.h"

inline void fresh_gfx() {
  fresh_core();
  quad_delete();
  geomdb_reset();
  txdb_reset();
  glpr_reset();
  light_reset();
}
