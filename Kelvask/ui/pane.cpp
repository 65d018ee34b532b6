#include "pane.h"

#include <epoxy/gl.h>

#include <cmath>
#include <cstring>

#include "glpr.h"
#include "matrix.h"
#include "quad.h"
#include "txdb_raw.h"
#include "wld_state.h"

uint32_t pane_vbo;
uint32_t pane_vao;
float spiral_phases[SPIRAL_POINTS];

// Nine slices: the corners take the quarter of the disc texture at their
// corner, the bands and the middle only the patch round its centre.
const float pane_mesh[PANE_VERTICES][4] = {
    // top-right corner
    {0.875f, 0.5f, 0.5f, 0.5f},
    {1, 0.5f, 1, 0.5f},
    {1, 1, 1, 1},
    {0.875f, 0.5f, 0.5f, 0.5f},
    {1, 1, 1, 1},
    {0.875f, 1, 0.5f, 1},
    // top-left corner
    {-1, 0.5f, 0, 0.5f},
    {-0.875f, 0.5f, 0.5f, 0.5f},
    {-0.875f, 1, 0.5f, 1},
    {-1, 0.5f, 0, 0.5f},
    {-0.875f, 1, 0.5f, 1},
    {-1, 1, 0, 1},
    // middle band: a fan round (-1, 0)
    {-1, 0, 0.45f, 0.5f},
    {-1, -0.5f, 0.45f, 0.4875f},
    {-0.875f, -0.5f, 0.4625f, 0.4875f},
    {-1, 0, 0.45f, 0.5f},
    {-0.875f, -0.5f, 0.4625f, 0.4875f},
    {0.875f, -0.5f, 0.5375f, 0.4875f},
    {-1, 0, 0.45f, 0.5f},
    {0.875f, -0.5f, 0.5375f, 0.4875f},
    {1, -0.5f, 0.55f, 0.4875f},
    {-1, 0, 0.45f, 0.5f},
    {1, -0.5f, 0.55f, 0.4875f},
    {1, 0, 0.55f, 0.5f},
    {-1, 0, 0.45f, 0.5f},
    {1, 0, 0.55f, 0.5f},
    {1, 0.5f, 0.55f, 0.5125f},
    {-1, 0, 0.45f, 0.5f},
    {1, 0.5f, 0.55f, 0.5125f},
    {0.875f, 0.5f, 0.5375f, 0.5125f},
    {-1, 0, 0.45f, 0.5f},
    {0.875f, 0.5f, 0.5375f, 0.5125f},
    {-0.875f, 0.5f, 0.4625f, 0.5125f},
    {-1, 0, 0.45f, 0.5f},
    {-0.875f, 0.5f, 0.4625f, 0.5125f},
    {-1, 0.5f, 0.45f, 0.5125f},
    // bottom-right corner
    {0.875f, -1, 0.5f, 0},
    {1, -1, 1, 0},
    {1, -0.5f, 1, 0.5f},
    {0.875f, -1, 0.5f, 0},
    {1, -0.5f, 1, 0.5f},
    {0.875f, -0.5f, 0.5f, 0.5f},
    // top band
    {-0.875f, 0.5f, 0.4625f, 0.5125f},
    {0.875f, 0.5f, 0.5375f, 0.5125f},
    {0.875f, 1, 0.5375f, 0.525f},
    {-0.875f, 0.5f, 0.4625f, 0.5125f},
    {0.875f, 1, 0.5375f, 0.525f},
    {-0.875f, 1, 0.4625f, 0.525f},
    // bottom band
    {-0.875f, -1, 0.4625f, 0.475f},
    {0.875f, -1, 0.5375f, 0.475f},
    {0.875f, -0.5f, 0.5375f, 0.4875f},
    {-0.875f, -1, 0.4625f, 0.475f},
    {0.875f, -0.5f, 0.5375f, 0.4875f},
    {-0.875f, -0.5f, 0.4625f, 0.4875f},
    // bottom-left corner
    {-1, -1, 0, 0},
    {-0.875f, -1, 0.5f, 0},
    {-0.875f, -0.5f, 0.5f, 0.5f},
    {-1, -1, 0, 0},
    {-0.875f, -0.5f, 0.5f, 0.5f},
    {-1, -0.5f, 0, 0.5f},
};

void pane_create_vbo() {
  if (!pane_vbo) quad_create_mesh(&pane_vao, &pane_vbo, pane_mesh, sizeof pane_mesh);
}

void pane_delete_vbo() { quad_delete_mesh(&pane_vao, &pane_vbo); }

void pane_reset() {
  pane_delete_vbo();
  memset(spiral_phases, 0, sizeof spiral_phases);
}

void pane_draw() {
  glActiveTexture(GL_TEXTURE0);
  txdb_use("circle");
  static const GLint rotx = glpr_uniform("rotx");
  static const GLint roty = glpr_uniform("roty");
  static const GLint translation = glpr_uniform("translation");
  static const GLint texturemap = glpr_uniform("texturemap");
  static const GLint colour = glpr_uniform("colour");
  glUniform2f(rotx, 1, 0);
  glUniform2f(roty, 0, 1);
  glUniform2f(translation, 0, 0);
  glUniform1i(texturemap, 0);
  glUniform4f(colour, 1, 1, 1, 1);
  glBindVertexArray(pane_vao);
  glDrawArrays(GL_TRIANGLES, 0, PANE_VERTICES);
  glBindVertexArray(0);
}

// Two-term parabola for sine on [-pi, pi].
static float spiral_sin(float x) { return 1.2732395f * x - 0.40528473f * x * fabsf(x); }

int32_t spiral_points(double age, float* out) {
  const float t = (float)age;
  const float pi = 3.14159265f;
  int32_t n = 0;
  for (float p : spiral_phases) {
    const float u = t + p;
    if (u < 0) continue;
    const float phase = fmodf(u, 1.0f) * 23.0f;
    float a = fmodf(phase, 6.2831855f);
    if (a > pi) a -= 2 * pi;
    float b = a + pi / 2;
    if (b > pi) b -= 2 * pi;
    float* q = out + 5 * n++;
    q[0] = spiral_centre[0] + 0.5f * spiral_sin(b);
    q[1] = spiral_centre[1] + 0.5f * spiral_sin(a);
    q[2] = spiral_centre[2] + 0.08f * phase;
    q[3] = q[4] = 0;
  }
  return n;
}

void pane_draw_points(const float* mvp, const float* points, int32_t n) {
  static const GLint loc = glpr_uniform("modelcamviewprojmat");
  glUniformMatrix4fv(loc, 1, GL_FALSE, mvp);
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, n * 20, points, GL_STREAM_DRAW);
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 20, (const void*)0);
  glVertexAttribPointer(7, 2, GL_FLOAT, GL_FALSE, 20, (const void*)12);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(7);
  glDrawArrays(GL_POINTS, 0, n);
  glBindVertexArray(0);
  glDeleteVertexArrays(1, &vao);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDeleteBuffers(1, &vbo);
}

void spiral_draw(const float* cam, double age) {
  float mvp[16];
  mat4_mul(cam + 32, mvp, cam + 16);
  static float points[SPIRAL_POINTS * 5];
  const int32_t n = spiral_points(age, points);
  if (n != 0) pane_draw_points(mvp, points, n);
}
