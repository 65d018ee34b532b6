#include <gtest/gtest.h>

#include <string>

#include "font.h"
#include "font_data.h"

namespace {

TEST(FontLayout, TrianglesWidthAndHeightOfTheLaidOutBlock) {
  const struct {
    const char* text;
    float sx, sy;
    int32_t triangles;
    float width, height;
  } cases[] = {
      {"", 1, 1, 0, 0, 1.0f},                   // one line: 5 uy
      {"1", 1, 1, 21, 0.6f, 1.0f},              // advance 3
      {"  ", 1, 1, 0, 0, 1.0f},                 // blanks draw nothing
      {"1\n1", 1, 1, 42, 0.6f, 11.25f * 0.2f},  // two lines
      {"1", 2, 0.5f, 21, 1.2f, 0.5f},
      {"\xc3\xa9"
       "1",
       1, 1, 21, 0.6f, 1.0f},  // bytes of 128 and more: skipped, no advance
  };
  for (const auto& c : cases) {
    float w = -1, h = -1;
    EXPECT_EQ(text_to_triangles(c.text, 0, 0, c.sx, c.sy, &w, &h), c.triangles) << c.text;
    EXPECT_FLOAT_EQ(w, c.width) << c.text;
    EXPECT_FLOAT_EQ(h, c.height) << c.text;
  }
}

TEST(FontLayout, PenAdvancesAndGlyphsSitOnTheBaseline) {
  float w, h;
  // "11": the second glyph starts 4 units right of the first; blanks add 3.
  const int32_t n = text_to_triangles("1  1", 1.0f, 2.0f, 1, 1, &w, &h);
  ASSERT_EQ(n, 42);
  const float* v = font_vertices + 2 * font_first['1'];
  EXPECT_FLOAT_EQ(text_vertices[0], 1.0f + 0.2f * v[0]);
  EXPECT_FLOAT_EQ(text_vertices[1], 2.0f - 1.0f + 0.2f * v[1]);
  EXPECT_FLOAT_EQ(text_vertices[126], 1.0f + 0.2f * (4 + 6) + 0.2f * v[0]);
  EXPECT_FLOAT_EQ(w, 0.2f * (4 + 6 + 3));
}

TEST(FontLayout, TextBeyondTheBufferIsCutNeverOverrun) {
  const int per = font_count[127] / 3;
  const int fit = TEXT_MAX_TRIANGLES / per;
  std::string text(fit + 10, '\x7f');
  text += ".";
  float w, h;
  const int32_t n = text_to_triangles(text.c_str(), 0, 0, 1, 1, &w, &h);
  // The big glyphs that do not fit are dropped; the small dot still fits.
  const int dot = font_count['.'] / 3;
  const int expect = fit * per + (fit * per + dot <= TEXT_MAX_TRIANGLES ? dot : 0);
  EXPECT_EQ(n, expect);
  // Dropped glyphs stretch the width but do not move the pen.
  EXPECT_FLOAT_EQ(w, 0.2f * (fit * (font_advance[127] + 1) + font_advance[127]));
}

}  // namespace
