#include "light.h"

#include <epoxy/gl.h>

#include <cmath>
#include <cstring>

#include "glpr.h"
#include "log.h"
#include "matrix.h"

light_state light;
int32_t lines_count;
float lines_points[LINES_MAX_POINTS * 3];

void light_reset() {
  light = light_state{};
  lines_count = 0;
  memset(lines_points, 0, sizeof lines_points);
}

void light_init() {
  mat4_identity(light.projection_matrix);
  mat4_identity(light.camera_matrix);
  mat4_identity(light.view_matrix);
  light.eye[0] = 0, light.eye[1] = 0, light.eye[2] = 50;
  light.target[0] = 0, light.target[1] = 0, light.target[2] = 0;
  light_set_ortho(40, 10, 290);
}

void light_set_ortho(float e, float znear, float zfar) {
  light.half_extent = e;
  float* p = light.projection_matrix;
  mat4_identity(p);
  p[0] = p[5] = 2.0f / (e - (-e));
  p[10] = -2.0f / (zfar - znear);
  p[14] = -(zfar + znear) / (zfar - znear);
  light.uptodate = 0;
}

static void normalise(float* v) {
  const float l = sqrtf(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  v[0] /= l, v[1] /= l, v[2] /= l;
}

void light_update() {
  if (light.uptodate) return;
  float back[3] = {light.eye[0] - light.target[0], light.eye[1] - light.target[1],
                   light.eye[2] - light.target[2]};
  normalise(back);
  // y x back: the light's image stands upright along the world's y axis.
  float side[3] = {back[2], 0, -back[0]};
  normalise(side);
  const float up[3] = {back[1] * side[2] - back[2] * side[1], back[2] * side[0] - back[0] * side[2],
                       back[0] * side[1] - back[1] * side[0]};
  float* m = light.camera_matrix;
  for (int r = 0; r < 3; r++) {
    m[r] = side[r];
    m[4 + r] = up[r];
    m[8 + r] = back[r];
    m[12 + r] = light.eye[r];
  }
  m[3] = m[7] = m[11] = 0;
  m[15] = 1;
  mat4_invert(light.camera_matrix, light.view_matrix);
  light.uptodate = 1;
}

void lines_draw(const float* cam) {
  if (lines_count == 0) return;
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  ASSERT(lines_count > 0 && lines_count <= LINES_MAX_POINTS);
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glEnableVertexAttribArray(0);
  glBufferData(GL_ARRAY_BUFFER, lines_count * 12, lines_points, GL_STREAM_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 12, nullptr);
  float mvp[16];
  mat4_mul(cam + 32, mvp, cam + 16);
  glUniformMatrix4fv(loc, 1, GL_FALSE, mvp);
  glDrawArrays(GL_LINES, 0, lines_count);
  glBindVertexArray(0);
  glDeleteVertexArrays(1, &vao);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDeleteBuffers(1, &vbo);
}
