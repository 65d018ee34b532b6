#include "quad.h"

#include <epoxy/gl.h>

#include "glpr.h"
#include "log.h"
#include "txdb_raw.h"

uint32_t quad_vao;
uint32_t quad_vbo;

static const float quad_vertices[6][4] = {
    {1, 1, 1, 1}, {-1, 1, 0, 1}, {-1, -1, 0, 0}, {-1, -1, 0, 0}, {1, -1, 1, 0}, {1, 1, 1, 1},
};

void quad_create_mesh(uint32_t* vao, uint32_t* vbo, const void* vertices, int32_t bytes) {
  glGenVertexArrays(1, vao);
  glBindVertexArray(*vao);
  glGenBuffers(1, vbo);
  ASSERT(*vbo);
  glBindBuffer(GL_ARRAY_BUFFER, *vbo);
  glBufferData(GL_ARRAY_BUFFER, bytes, vertices, GL_STATIC_DRAW);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, (const void*)0);
  glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 16, (const void*)8);
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(2);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void quad_delete_mesh(uint32_t* vao, uint32_t* vbo) {
  if (!*vbo) return;
  glDeleteVertexArrays(1, vao);
  glDeleteBuffers(1, vbo);
  *vao = *vbo = 0;
}

void quad_init() {
  if (!quad_vbo) quad_create_mesh(&quad_vao, &quad_vbo, quad_vertices, sizeof quad_vertices);
}

void quad_delete() { quad_delete_mesh(&quad_vao, &quad_vbo); }

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
