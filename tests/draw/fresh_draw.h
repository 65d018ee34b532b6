#pragma once
#include "fresh_gfx.h"
#include "fresh_sim.h"
#include "items_draw.h"
#include "modeldb.h"

inline void fresh_draw() {
  fresh_sim();
  fresh_gfx();
  modeldb_reset();
  items_draw_reset();
}
