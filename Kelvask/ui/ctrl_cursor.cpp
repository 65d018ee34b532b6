#include "ctrl_cursor.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "crowd.h"
#include "crowd_draw.h"
#include "ctrl.h"
#include "geomdb.h"
#include "glpr.h"
#include "grid.h"
#include "matrix.h"
#include "models.h"
#include "pane.h"
#include "wld_state.h"

// One model per cell of the square [x0, x1] x [y0, y1], clipped to the grid,
// at the cell's ground height and scaled by (scale, scale, 1).
static int32_t draw_cells(const float cam[5][16], GLint mvploc, const geomdesc* d, bool outline,
                          const uint8_t* heights, int32_t x0, int32_t y0, int32_t x1, int32_t y1,
                          float scale) {
  float vp[16], model[16], mvp[16];
  wld_view_projection(cam, vp);
  mat4_identity(model);
  model[0] = model[5] = scale;
  geomdb_bind(d, outline);
  const GLsizei vertices = outline ? d->numl * 2 : d->numt * 3;
  int32_t calls = 0;
  for (int32_t y = std::max(y0, 0); y <= std::min(y1, GRIDSZ - 1); y++) {
    for (int32_t x = std::max(x0, 0); x <= std::min(x1, GRIDSZ - 1); x++) {
      model[12] = (float)x;
      model[13] = (float)y;
      model[14] = heights[y * GRIDSZ + x] * GRID_STEPZ;
      glUniformMatrix4fv(mvploc, 1, GL_FALSE, mat4_mul(vp, mvp, model));
      glDrawArrays(outline ? GL_LINES : GL_TRIANGLES, 0, vertices);
      calls++;
    }
  }
  glBindVertexArray(0);
  return calls;
}

static int32_t draw_footprint(const float cam[5][16], GLint mvploc, bool allowed, bool outline,
                              const uint8_t* heights) {
  const int32_t s = ctrl_footprint, x = ctrl_cursor[0], y = ctrl_cursor[1];
  const int32_t lo = s == 3 ? -1 : 0, hi = s == 3 || s == 2 ? 1 : 0;
  const geomdesc* d = allowed ? &geomdesc_cursormdpos : &geomdesc_cursormdneg;
  return draw_cells(cam, mvploc, d, outline, heights, x + lo, y + lo, x + hi, y + hi, 0.5f);
}

int32_t ctrl_draw_cursor(const float cam[5][16], bool allowed, const uint8_t* heights) {
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  return draw_footprint(cam, loc, allowed, false, heights);
}

int32_t ctrl_draw_cursor_lines(const float cam[5][16], bool allowed, const uint8_t* heights) {
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  return draw_footprint(cam, loc, allowed, true, heights);
}

static int32_t draw_area(const float cam[5][16], GLint mvploc, bool outline,
                         const uint8_t* heights) {
  const int32_t x0 = std::min(ctrl_anchor[0], ctrl_cursor[0]),
                x1 = std::max(ctrl_anchor[0], ctrl_cursor[0]);
  const int32_t y0 = std::min(ctrl_anchor[1], ctrl_cursor[1]),
                y1 = std::max(ctrl_anchor[1], ctrl_cursor[1]);
  return draw_cells(cam, mvploc, &geomdesc_cursorarea, outline, heights, x0, y0, x1, y1, 1.0f);
}

int32_t ctrl_draw_area(const float cam[5][16], const uint8_t* heights) {
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  return draw_area(cam, loc, false, heights);
}

int32_t ctrl_draw_area_lines(const float cam[5][16], const uint8_t* heights) {
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  return draw_area(cam, loc, true, heights);
}

int32_t ctrl_draw_emotes(float dt, const float cam[5][16]) {
  static float points[CROWDSZ * 5];
  int32_t n = 0;
  for (int32_t i = 0; i < crowd_sz; i++) {
    const uint32_t e = wld_emote[i];
    if (e == 0) continue;
    float* p = points + 5 * n++;
    p[0] = wld_trfs[i][12];
    p[1] = wld_trfs[i][13];
    p[2] = wld_trfs[i][14] + 1.9f;
    p[3] = 0.0f;
    p[4] = (float)(e - 1) * 0.5f;
    if (e == 2 && (emote_age[i] += dt) > 10.0f) wld_emote[i] = 0;
  }
  if (n == 0) return 0;
  float vp[16];
  wld_view_projection(cam, vp);
  pane_draw_points(vp, points, n);
  return 1;
}
