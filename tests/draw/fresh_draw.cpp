#include "fresh_draw.h"

#include "items_draw.h"
#include "modeldb.h"

void fresh_draw() {
  fresh_sim();
  fresh_gfx_only();
  modeldb_reset();
  items_draw_reset();
}
