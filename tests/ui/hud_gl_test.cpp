#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "font.h"
#include "font_data.h"
#include "fresh_ui.h"
#include "gl_context.h"
#include "glpr.h"
#include "hud.h"
#include "pane.h"
#include "quad.h"
#include "shaders.h"
#include "text.h"
#include "txdb_raw.h"
#include "wld_state.h"

namespace {

// The HUD's 23 textures, each a white 4x4 image, in a directory of its own;
// the texture folder goes back to where it was, as the folder is removed.
struct Hud : GlTest {
  char dir[64] = "/tmp/hud_testXXXXXX";
  uint32_t programs[SHADERS_COUNT] = {};
  std::string file(const char* name) { return std::string(dir) + "/" + name + ".4x4"; }
  void SetUp() override {
    GlTest::SetUp();
    fresh_ui();
    ASSERT_NE(mkdtemp(dir), nullptr);
    txdb_set_dir((std::string(dir) + "/").c_str());
    const std::vector<uint8_t> white(4 * 4 * 4, 255);
    for (const char* name : hud_textures) {
      FILE* f = fopen(file(name).c_str(), "wb");
      ASSERT_NE(f, nullptr);
      fwrite(white.data(), 1, white.size(), f);
      fclose(f);
    }
    gl_logged([&] { shaders_load(programs); });
    quad_init();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
  }
  void TearDown() override {
    shaders_delete(programs);
    fresh_ui();  // while the context is current
    for (const char* name : hud_textures) unlink(file(name).c_str());
    rmdir(dir);
    GlTest::TearDown();
  }
  // Pixel column of view x, row of view y.
  std::vector<uint8_t> at(float x, float y) {
    return pixel((int)((x + 1) * W / 2), (int)((y + 1) * H / 2));
  }
};

TEST_F(Hud, ShippedArtHasEveryTextureWithoutAnError) {
  txdb_set_dir(TAVOREK_RUN_DIR "/Art/raw/");
  const std::string log =
      gl_logged([] { hud_load_resources(); });  // the assertion stops a wrong count
  EXPECT_EQ(txdb_sz, HUD_TEXTURE_COUNT);
  EXPECT_EQ(gl_count(log, "ERR"), 0) << log;
}

TEST_F(Hud, IconScaleFollowsHoverSelectionAndGrey) {
  hud_load_resources();
  glpr_use(programs[SHADERS_HUD]);
  const struct {
    float colour;
    bool selected, hovered;
    float angle;
    bool reaches_095;  // the scale passes 0.95
    float shown;       // the colour written back
  } cases[] = {
      {1, false, false, 0, true, 1},           {1, false, true, 0, true, 1.2f},
      {0.5f, false, false, 0, false, 0.5f},     // greyed: 0.92
      {0.5f, false, true, 0, true, 1.2f},       // hovered grey turns bright first
      {1, true, false, -1.5707964f, false, 1},  // pulse at its smallest, 0.92
      {1, true, false, 1.5707964f, true, 1},    // and its largest, 1.0
  };
  for (const auto& c : cases) {
    glClear(GL_COLOR_BUFFER_BIT);
    float colour[4] = {c.colour, c.colour, c.colour, 1};
    hud_draw_icon("field", colour, c.selected, c.hovered, c.angle);
    EXPECT_FLOAT_EQ(colour[0], c.shown);
    EXPECT_EQ(at(0.96f, 0)[0] > 0, c.reaches_095) << c.colour << c.selected << c.hovered;
    EXPECT_GT(at(0.9f, 0)[0], 0);
  }
}

// The quad and the pane are built once, however often asked.
TEST_F(Hud, PaneIsBuiltOnceAndCoversItsView) {
  hud_load_resources();
  const uint32_t quad = quad_vbo;
  quad_init();
  EXPECT_EQ(quad_vbo, quad);
  pane_create_vbo();
  const uint32_t pane = pane_vbo;
  pane_create_vbo();
  EXPECT_EQ(pane_vbo, pane);
  glpr_use(programs[SHADERS_HUD]);
  pane_draw();
  for (float x : {-0.95f, -0.5f, 0.0f, 0.95f})
    for (float y : {-0.95f, 0.0f, 0.7f}) EXPECT_EQ(at(x, y)[0], 255) << x << " " << y;
}

TEST_F(Hud, PaneWithoutItsBufferStopsThroughTheLoggedAssertion) {
  EXPECT_DEATH((dup2(2, 1), SDL_GL_MakeCurrent(window, nullptr), pane_create_vbo()),
               "ERR ASSERT FAILED at .*quad\\.cpp\\([0-9]+\\):  \\*vbo");
}

TEST_F(Hud, TextAlignsOnlyOnTheExactWords) {
  glpr_use(programs[SHADERS_FONT]);
  float w, h;
  text_to_triangles("Ab", 0, 0, 1, 1, &w, &h);
  const float x0 = text_vertices[0], y0 = text_vertices[1];
  const struct {
    const char *halign, *valign;
    float dx, dy;  // in widths and heights
  } cases[] = {{"left", "top", 0, 0},
               {"right", "bottom", -1, 1},
               {"center", "center", -0.5f, 0.5f},
               {"Right", "Bottom", 0, 0},
               {"", "", 0, 0}};
  const float pos[3] = {0, 0, 0}, size[3] = {1, 1, 0};
  for (const auto& c : cases) {
    EXPECT_FLOAT_EQ(text_draw("Ab", pos, size, c.halign, c.valign), w);
    EXPECT_FLOAT_EQ(text_vertices[0], x0 + c.dx * w) << c.halign;
    EXPECT_FLOAT_EQ(text_vertices[1], y0 + c.dy * h) << c.valign;
  }
  EXPECT_FLOAT_EQ(text_draw("", pos, size, "left", "top"), 0);
  const std::string huge(6000, 'W');
  text_draw(huge.c_str(), pos, size, "left", "top");  // cut at the buffer, not past it
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST_F(Hud, NumeralsStepLeftPerGroupAndOddCountsDrawNothing) {
  glpr_use(programs[SHADERS_FONT]);
  glUniform4f(glpr_uniform("colour"), 1, 1, 1, 1);
  const float size[3] = {0.1f, 0.1f, 0};
  const float u = 0.2f * size[0];
  struct {
    int32_t value;
    float moved;
  } cases[] = {
      {0, 0},
      {10000, 0},
      {-1, 0},
      // 1203: one thousands sign, two hundreds signs (one a line), three units.
      {1203, font_advance[4] * u + font_advance[3] * u + font_advance[1] * u + 3 * 0.2f * size[0]},
      {9, 3 * font_advance[1] * u + 2 * u + 0.2f * size[0]},
  };
  for (const auto& c : cases) {
    float pos[3] = {0.9f, -0.9f, 0};
    text_draw_number(c.value, pos, size);
    EXPECT_NEAR(0.9f - pos[0], c.moved, 1e-5f) << c.value;
  }
  glClear(GL_COLOR_BUFFER_BIT);
  const float pos[3] = {0.9f, -0.9f, 0}, big[3] = {1, 1, 0};
  for (int32_t count : {-1, 0, 10, 1000})
    EXPECT_EQ(text_draw_symbols(1, count, pos, big), 0) << count;
  EXPECT_EQ(drawn(0, 0, 0), 0);
  EXPECT_GT(text_draw_symbols(1, 5, pos, big), 0);
}

TEST(Spiral, PointsClimbAHelixRoundTheCentre) {
  for (int i = 0; i < SPIRAL_POINTS; i++) spiral_phases[i] = -i / 63.0f;
  spiral_centre[0] = 10, spiral_centre[1] = 20, spiral_centre[2] = 1.5f;
  float pts[SPIRAL_POINTS * 5];
  ASSERT_EQ(spiral_points(0.0, pts), 1);  // only phase 0 at age 0
  EXPECT_NEAR(pts[2], 1.5f, 1e-6f);
  EXPECT_EQ(spiral_points(0.5, pts), 32);
  const int n = spiral_points(7.3, pts);
  ASSERT_EQ(n, SPIRAL_POINTS);
  for (const float* p = pts; p < pts + 5 * n; p += 5) {
    EXPECT_LE(std::fabs(p[0] - 10), 0.5f + 1e-5f);
    EXPECT_LE(std::fabs(p[1] - 20), 0.5f + 1e-5f);
    EXPECT_GE(p[2], 1.5f);
    EXPECT_LE(p[2], 1.5f + 1.84f + 1e-5f);
    EXPECT_EQ(p[3], 0);
  }
}

// The pointer's tooltip moves in from any edge it would cross, its backdrop
// margin with it; away from the edges it stands at the pointer.
TEST(TextKeepInside, TooltipsStayInTheWindow) {
  const float size[2] = {18.0f / 1280, 30.0f / 720};
  float w = 0, h = 0;
  text_measure("Sandstone", size, &w, &h);
  ASSERT_GT(w, 0.05f);
  const float mx = 0.3f * size[0], my = 0.1f * size[1];
  const struct {
    const char* where;
    float x, y;
  } pointers[] = {{"right edge", 0.99f, 0.0f},   {"left edge", -1.0f, 0.2f},
                  {"top edge", 0.0f, 1.0f},      {"top right", 1.0f, 1.0f},
                  {"bottom left", -1.0f, -1.0f}, {"middle", 0.1f, -0.2f}};
  for (const auto& p : pointers) {
    SCOPED_TRACE(p.where);
    float at[2];
    text_keep_inside(p.x, p.y, w, h, mx, my, at);
    EXPECT_GE(at[0] - mx, -1.0f - 1e-6f);
    EXPECT_LE(at[0] + w + mx, 1.0f + 1e-6f);
    EXPECT_GE(at[1] - my, -1.0f - 1e-6f);
    EXPECT_LE(at[1] + h + my, 1.0f + 1e-6f);
    if (p.x + w + mx <= 1 && p.x - mx >= -1) {
      EXPECT_FLOAT_EQ(at[0], p.x);
    }
    if (p.y + h + my <= 1 && p.y - my >= -1) {
      EXPECT_FLOAT_EQ(at[1], p.y);
    }
  }
}

}  // namespace
