#include "world_pass.h"

#include <epoxy/gl.h>

#include "buildings_draw.h"
#include "cats_draw.h"
#include "crowd.h"
#include "crowd_draw.h"
#include "glpr.h"
#include "items_draw.h"
#include "light.h"
#include "shaders.h"
#include "sickles.h"
#include "stones_draw.h"
#include "txdb_raw.h"
#include "wld_draw.h"
#include "wld_state.h"
#include "worktools_draw.h"

static bool showing_field(const world_pass* p) {
  return p->showgoal >= 0 && p->showgoal < GROUPCNT;
}

static void use(const world_pass* p, int program) { glpr_use(p->programs[program]); }

static void draw_ground(const world_pass* p) {
  if (showing_field(p)) {
    use(p, SHADERS_GRID);
    wld_draw_terrain(p->cam, p->showgoal);
  } else {
    use(p, SHADERS_TERR);
    wld_crowd_draw_ground(p->cam);
  }
  use(p, SHADERS_GRID);
  p->marker(false);
  use(p, SHADERS_EDGE);
  if (showing_field(p)) wld_draw_grid(p->cam, p->showgoal);
  lines_draw(p->cam[0]);
  lines_count = 0;
  p->marker(true);
}

static void draw_models(const world_pass* p) {
  if (wld_started) {
    use(p, SHADERS_CROWDFACE);
    crowd_sample_height();
    wld_crowd_draw(p->cam);
  }
  use(p, SHADERS_TIFA);
  if (p->showgoal < 0) {
    txdb_use("bakerymap.pkm");
    bakeries_draw(p->cam);
    txdb_use("tentmap.pkm");
    huts_draw(p->cam);
    txdb_use("taxcollectormap.pkm");
    taxc_draw(p->cam);
  }
  use(p, SHADERS_IFAC);
  if (p->showgoal < 0) farms_draw(p->cam);
  stones_draw(p->cam);
  for (int full = 0; full < 2; full++) buckets_draw(p->cam, full);
  for (int full = 0; full < 2; full++) plates_draw(p->cam, full);
  if (sickles_count != 0) sickles_draw(p->cam);
  grain_draw(p->cam);
  food_draw(p->cam);
  use(p, SHADERS_CAT);
  cats_draw(p->cam);
  use(p, SHADERS_IEDG);
  wld_draw_lines(p->cam);
}

void world_pass_draw(const world_pass* pass, float dt) {
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glClearColor(0.2f, 0.2f, 0.3f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_POLYGON_OFFSET_FILL);
  glPolygonOffset(1.005f, 0.0f);
  draw_ground(pass);
  draw_models(pass);
  pass->overlays(dt);
}
