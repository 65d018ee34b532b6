#include "quad.h"

#include <epoxy/gl.h>

#include <cassert>

#include "glpr.h"
#include "txdb_raw.h"

uint32_t quad_vao;
uint32_t quad_vbo;

static const float quad_vertices[6][4] = {
    {1, 1, 1, 1}, {-1, 1, 0, 1}, {-1, -1, 0, 0}, {-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1},
};

void quad_init() {
  if (quad_vbo) return;
  glGenVertexArrays(1, &quad_vao);
  glBindVertexArray(quad_vao);
  glGenBuffers(1, &quad_vbo);
  assert(quad_vbo);
  glBindBuffer(GL_ARRAY_BUFFER, quad_vbo);
  glBufferData(GL_ARRAY_BUFFER, sizeof quad_vertices, quad_vertices, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, (const void*)0);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 16, (const void*)8);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(2);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void quad_delete() {
  if (!quad_vbo) return;
  glDeleteVertexArrays(1, &quad_vao);
  glDeleteBuffers(1, &quad_vbo);
  quad_vao = quad_vbo = 0;
}

void quad_draw(const char* name, const float* translation, const float* rotx, const float* roty) {
  txdb_use(name);
  static const GLint rotx_loc = glpr_uniform("rotx");
  static const GLint roty_loc = glpr_uniform("roty");
  static const GLint translation_loc = glpr_uniform("translation");
  glUniform2f(rotx_loc, rotx[0], rotx[1]);
  glUniform2f(roty_loc, roty[0], roty[1]);
  glUniform2f(translation_loc, translation[0], translation[1]);
  glBindVertexArray(quad_vao);
  glDrawArrays(GL_TRIANGLES, 0, 6);
  glBindVertexArray(0);
}
