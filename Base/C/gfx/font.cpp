#include "font.h"

#include "font_data.h"

float text_vertices[TEXT_MAX_TRIANGLES * 3 * 2];

static const float LINE_HEIGHT = 6.25f;
static const float SPACE_WIDTH = 3.0f;
static const float GLYPH_GAP = 1.0f;
static const float FIRST_BASELINE = 5.0f;
static const float HEIGHT_CORRECTION = 1.25f;

int32_t text_to_triangles(const char* text, float x0, float y0, float sx, float sy, float* width,
                          float* height) {
  const float ux = 0.2f * sx, uy = 0.2f * sy;
  float penx = x0, baseline = y0 - FIRST_BASELINE * uy, right = x0;
  int32_t lines = 1, triangles = 0;
  for (const unsigned char* p = (const unsigned char*)text; *p; p++) {
    const unsigned c = *p;
    if (c == '\n') {
      baseline -= LINE_HEIGHT * uy;
      penx = x0;
      lines++;
    } else if (c == ' ') {
      penx += SPACE_WIDTH * ux;
    } else if (c < FONT_GLYPHS) {
      const int32_t n = font_count[c];
      const float advance = font_advance[c];
      if (penx + advance * ux > right) right = penx + advance * ux;
      // A glyph that does not fit is dropped; a later, smaller one may still fit.
      if (triangles + n / 3 > TEXT_MAX_TRIANGLES) continue;
      const float* v = font_vertices + 2 * font_first[c];
      float* out = text_vertices + 6 * triangles;
      for (int32_t k = 0; k < n; k++) {
        out[2 * k] = penx + v[2 * k] * ux;
        out[2 * k + 1] = baseline + v[2 * k + 1] * uy;
      }
      triangles += n / 3;
      penx += (advance + GLYPH_GAP) * ux;
    }
  }
  *width = right - x0;
  *height = lines * LINE_HEIGHT * uy - HEIGHT_CORRECTION * uy;
  return triangles;
}
