#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "font_data.h"

namespace {

struct box {
  float x0, y0, x1, y1;
};

box bounds(int c) {
  box b = {1e9f, 1e9f, -1e9f, -1e9f};
  for (int v = font_first[c]; v < font_first[c] + font_count[c]; v++) {
    const float x = font_vertices[v * 2], y = font_vertices[v * 2 + 1];
    b.x0 = std::min(b.x0, x), b.x1 = std::max(b.x1, x);
    b.y0 = std::min(b.y0, y), b.y1 = std::max(b.y1, y);
  }
  return b;
}

// Whole counter-clockwise triangles inside the table and the font box; every
// printable character has a glyph of its own.
TEST(FontTable, EveryGlyphIsWellFormed) {
  ASSERT_GT(font_vertex_count, 0);
  for (int c = 0; c < FONT_GLYPHS; c++) {
    SCOPED_TRACE("code " + std::to_string(c));
    EXPECT_EQ(font_count[c] % 3, 0);
    ASSERT_GE(font_count[c], 0);
    ASSERT_GE(font_first[c], 0);
    ASSERT_LE(font_first[c] + font_count[c], font_vertex_count);
    EXPECT_GE(font_advance[c], 0.0f);
    EXPECT_LE(font_advance[c], 6.31f);
    if (c >= 33 && c < 127) {
      EXPECT_GT(font_count[c], 0);
      EXPECT_GT(font_advance[c], 0.0f);
      for (int d = 33; d < c; d++)
        EXPECT_FALSE(font_first[c] == font_first[d] && font_count[c] == font_count[d])
            << "shares its triangles with code " << d;
    }
    for (int v = font_first[c]; v + 2 < font_first[c] + font_count[c]; v += 3) {
      const float* p = &font_vertices[v * 2];
      const float area = ((p[2] - p[0]) * (p[5] - p[1]) - (p[4] - p[0]) * (p[3] - p[1])) * 0.5f;
      EXPECT_GT(area, 1e-3f) << "triangle at vertex " << v;
    }
    if (font_count[c] == 0) continue;
    const box b = bounds(c);
    EXPECT_LE(b.x1, 6.31f);
    EXPECT_GE(b.y0, -1.0f - 1e-4f);
    EXPECT_LE(b.y1, 5.5f);
    // A glyph that reaches far past its advance runs into its neighbour,
    // which stands 1 unit after it.
    EXPECT_LE(b.x1, font_advance[c] + 0.6f);
    EXPECT_GE(b.x0, -0.6f);
  }
}

// Letters stand on the baseline, descenders go below; the special codes fit their uses.
TEST(FontTable, LettersAndSpecialCodesFitTheirPlaces) {
  const char* standing = "ABCDEFGHIKLMNOPRSTUVWXYZ0123456789acemnorsuvwxz";
  for (const char* s = standing; *s; s++) {
    const box b = bounds(*s);
    EXPECT_NEAR(b.y0, 0.0f, 0.15f) << *s;
    const float top = strchr("acemnorsuvwxz", *s) ? 3.5f : 5.0f;
    EXPECT_NEAR(b.y1, top, 0.3f) << *s;
  }
  for (const char* s = "gjpqy"; *s; s++) EXPECT_LT(bounds(*s).y0, -0.6f) << *s;
  // The tooltip backdrop fills the glyph box that the text's size maps.
  const box fill = bounds(24);
  EXPECT_EQ(font_count[24], 6);
  EXPECT_FLOAT_EQ(fill.x0, 0.0f);
  EXPECT_FLOAT_EQ(fill.y0, 0.0f);
  EXPECT_FLOAT_EQ(fill.x1, font_advance[24]);
  EXPECT_FLOAT_EQ(fill.y1, 5.0f);
  // "On" is the "off" box with a mark in it.
  EXPECT_GT(font_count[27], font_count[26]);
  EXPECT_EQ(0, memcmp(&font_vertices[font_first[26] * 2], &font_vertices[font_first[27] * 2],
                      font_count[26] * 2 * sizeof(float)));
  // The place-value signs draw, each differently.
  for (int c = 1; c <= 4; c++) {
    EXPECT_GT(font_count[c], 0) << "sign " << c;
    for (int d = 1; d < c; d++)
      EXPECT_NE(font_count[c], font_count[d]) << "signs " << c << ", " << d;
  }
}

}  // namespace
