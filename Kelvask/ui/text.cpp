#include "text.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "font.h"

float text_draw(const char* text, const float* pos, const float* size, const char* halign,
                const char* valign) {
  float width = -1, height = -1;
  const int32_t n = text_to_triangles(text, pos[0], pos[1], size[0], size[1], &width, &height);
  float dy = 0, dx = 0;
  if (strcmp(valign, "center") == 0)
    dy = height * 0.5f;
  else if (strcmp(valign, "bottom") == 0)
    dy = height;
  if (strcmp(halign, "center") == 0)
    dx = -0.5f * width;
  else if (strcmp(halign, "right") == 0)
    dx = -width;
  for (int32_t v = 0; v < 3 * n; v++) {
    text_vertices[2 * v] += dx;
    text_vertices[2 * v + 1] += dy;
  }
  GLuint vao = 0, vbo = 0;
  glGenVertexArrays(1, &vao);
  glBindVertexArray(vao);
  glGenBuffers(1, &vbo);
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glBufferData(GL_ARRAY_BUFFER, 3 * n * 8, text_vertices, GL_STREAM_DRAW);
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 8, nullptr);
  glEnableVertexAttribArray(0);
  glDrawArrays(GL_TRIANGLES, 0, 3 * n);
  glBindVertexArray(0);
  glDeleteVertexArrays(1, &vao);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDeleteBuffers(1, &vbo);
  return width;
}

static const char* const text_patterns[10] = {
    "",
    "%c",
    "%c\n%c",
    "%c\n%c\n%c",
    "%c%c\n%c%c",
    "%c%c\n%c\n%c%c",
    "%c%c\n%c%c\n%c%c",
    "%c%c%c\n%c\n%c%c%c",
    "%c%c%c\n%c%c\n%c%c%c",
    "%c%c%c\n%c%c%c\n%c%c%c",
};

float text_draw_symbols(int32_t glyph, int32_t count, const float* pos, const float* size) {
  if (count <= 0 || count > 9) return 0;
  // Every pattern takes the glyph count times; extra arguments are not read.
  const char g = (char)glyph;
  char buf[64];
  snprintf(buf, sizeof buf, text_patterns[count], g, g, g, g, g, g, g, g, g);
  return text_draw(buf, pos, size, "right", "bottom");
}

void text_draw_number(int32_t value, float* pos, const float* size) {
  if (value < 0 || value > 9999) return;
  const int32_t digits[4] = {value / 1000, value / 100 % 10, value / 10 % 10, value % 10};
  for (int32_t place = 0; place < 4; place++) {
    const float w = text_draw_symbols(4 - place, digits[place], pos, size);
    if (w != 0) pos[0] -= w + 0.2f * size[0];
  }
}

void text_measure(const char* text, const float* size, float* width, float* height) {
  text_to_triangles(text, 0, 0, size[0], size[1], width, height);
}

void text_keep_inside(float x, float y, float w, float h, float mx, float my, float* out) {
  out[0] = std::max(std::min(x, 1.0f - mx - w), -1.0f + mx);
  out[1] = std::max(std::min(y, 1.0f - my - h), -1.0f + my);
}
