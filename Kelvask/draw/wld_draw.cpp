#include "wld_draw.h"

#include <epoxy/gl.h>

#include <algorithm>

#include "crowd_draw.h"
#include "glpr.h"
#include "items_draw.h"
#include "log.h"
#include "stones_draw.h"
#include "txdb_raw.h"
#include "wld.h"
#include "worktools_draw.h"

#define OVERLAY_VERTICES (GRIDCELLS * 6)

static float wld_overlay[OVERLAY_VERTICES][8];  // x, y, z, 1, r, g, b, 1
static float wld_arrows[OVERLAY_VERTICES][3];
static GLuint wld_vaos[3], wld_vbos[3];

void wld_load_resources() {
  glGenVertexArrays(3, wld_vaos);
  glGenBuffers(3, wld_vbos);
  glBindVertexArray(wld_vaos[1]);
  glBindBuffer(GL_ARRAY_BUFFER, wld_vbos[1]);
  glBufferData(GL_ARRAY_BUFFER, sizeof wld_overlay, nullptr, GL_DYNAMIC_DRAW);
  glVertexAttribPointer(0, 4, GL_FLOAT, GL_FALSE, 32, (const void*)0);
  glVertexAttribPointer(2, 4, GL_FLOAT, GL_FALSE, 32, (const void*)16);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(2);
  glBindVertexArray(wld_vaos[2]);
  glBindBuffer(GL_ARRAY_BUFFER, wld_vbos[2]);
  glBufferData(GL_ARRAY_BUFFER, sizeof wld_arrows, nullptr, GL_DYNAMIC_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 12, (const void*)0);
  glEnableVertexAttribArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  static const char* const TEXTURES[] = {
      "terrain_grn.pkm", "terrain_ylw.pkm", "terrain_blu.pkm",     "bakerymap.pkm",
      "hutmap.pkm",      "tentmap.pkm",     "taxcollectormap.pkm", "carriermap.pkm"};
  const int32_t cnt = (int32_t)(sizeof TEXTURES / sizeof TEXTURES[0]);
  const int32_t numcreated = txdb_load_pkms(TEXTURES, cnt);
  ASSERT(numcreated == cnt);
}

void wld_delete_resources() {
  glDeleteVertexArrays(3, wld_vaos);
  glDeleteBuffers(3, wld_vbos);
  for (int i = 0; i < 3; i++) wld_vaos[i] = wld_vbos[i] = 0;
}

void wld_potential_colour(float v, float lo, float range, float* rgb) {
  const float third = range / 3.0f, twothirds = range * 2.0f / 3.0f, d = v - lo;
  float r = 1.0f, g = 1.0f, b = 1.0f;
  if (v == FLT_UNDF) {
  } else if (!(third > 0.0f)) {
    r = b = 0.0f;  // a field of one value: all at its goal's green
  } else if (d < third) {
    r = d / third;
    b = 0.0f;
  } else if (d < twothirds) {
    const float t = (d - third) / third;
    g = 1.0f - t;
    b = t;
  } else {
    g = 0.0f;
    b = 1.0f - std::min((d - twothirds) / third, 1.0f);
  }
  rgb[0] = r;
  rgb[1] = g;
  rgb[2] = b;
}

static void wld_set_viewprojection(const float cam[5][16]) {
  float vp[16];
  wld_view_projection(cam, vp);
  glUniformMatrix4fv(glpr_uniform("modelcamviewprojmat"), 1, GL_FALSE, vp);
}

static int32_t wld_upload_and_draw(int k, const void* data, GLsizeiptr size, GLenum mode) {
  glBindVertexArray(wld_vaos[k]);
  glBindBuffer(GL_ARRAY_BUFFER, wld_vbos[k]);
  glBufferData(GL_ARRAY_BUFFER, size, data, GL_DYNAMIC_DRAW);
  glDrawArrays(mode, 0, OVERLAY_VERTICES);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glBindVertexArray(0);
  return 1;
}

int32_t wld_draw_terrain(const float cam[5][16], int32_t g) {
  ASSERT(g >= 0);
  ASSERT(g < GROUPCNT);
  const float* pot = wld_potential[g];
  float lo = 1000.0f, hi = -1000.0f;
  for (int c = 0; c < GRIDCELLS; c++) {
    if (pot[c] == FLT_UNDF) continue;
    lo = std::min(lo, pot[c]);
    hi = std::max(hi, pot[c]);
  }
  hi = std::min(hi, lo + 80.0f);
  static const float CORNERS[6][2] = {{0, 0},     {0.96f, 0},     {0, 0.96f},
                                      {0.96f, 0}, {0.96f, 0.96f}, {0, 0.96f}};
  for (int c = 0; c < GRIDCELLS; c++) {
    float rgb[3];
    wld_potential_colour(pot[c], lo, hi - lo, rgb);
    const float x = (float)(c % GRIDSZ), y = (float)(c / GRIDSZ), z = wld_height[c] * 0.15f;
    for (int k = 0; k < 6; k++) {
      float* v = wld_overlay[c * 6 + k];
      const float vertex[8] = {
          x + CORNERS[k][0], y + CORNERS[k][1], z, 1.0f, rgb[0], rgb[1], rgb[2], 1.0f};
      std::copy(vertex, vertex + 8, v);
    }
  }
  wld_set_viewprojection(cam);
  return wld_upload_and_draw(1, wld_overlay, sizeof wld_overlay, GL_TRIANGLES);
}

int32_t wld_draw_grid(const float cam[5][16], int32_t g) {
  ASSERT(g >= 0);
  ASSERT(g < GROUPCNT);
  const float* fx = wld_flow[g][FLOW_X];
  const float* fy = wld_flow[g][FLOW_Y];
  for (int c = 0; c < GRIDCELLS; c++) {
    const float cx = (float)(c % GRIDSZ) + 0.5f, cy = (float)(c / GRIDSZ) + 0.5f;
    const float z = wld_height[c] * 0.15f + 0.01f;
    const float a[3] = {cx + 0.044f * fy[c], cy - 0.044f * fx[c], z};
    const float t[3] = {cx + 0.5f * fx[c], cy + 0.5f * fy[c], z};
    const float b[3] = {cx - 0.044f * fy[c], cy + 0.044f * fx[c], z};
    const float* seq[6] = {a, t, t, b, b, a};
    for (int k = 0; k < 6; k++) std::copy(seq[k], seq[k] + 3, wld_arrows[c * 6 + k]);
  }
  wld_set_viewprojection(cam);
  const GLint colour = glpr_uniform("linecolour");
  ASSERT(colour >= 0);
  glUniform4f(colour, 0.3f, 0.3f, 1.0f, 1.0f);
  glUniform1f(glpr_uniform("fogintensity"), 0.0f);
  return wld_upload_and_draw(2, wld_arrows, sizeof wld_arrows, GL_LINES);
}

int32_t wld_draw_lines(const float cam[5][16]) {
  const GLint linecolourUniform = glpr_uniform("linecolour");
  ASSERT(linecolourUniform >= 0);
  glUniform4f(linecolourUniform, 0.2f, 0.2f, 0.2f, 1.0f);
  int32_t calls = stones_draw_lines(cam) + farms_draw_lines(cam);
  for (int full = 0; full < 2; full++) calls += buckets_draw_lines(cam, full);
  for (int full = 0; full < 2; full++) calls += plates_draw_lines(cam, full);
  return calls + sickles_draw_lines(cam) + grain_draw_lines(cam) + food_draw_lines(cam);
}
