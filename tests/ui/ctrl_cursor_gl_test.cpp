#include <cstring>

#include "crowd.h"
#include "ctrl.h"
#include "ctrl_cursor.h"
#include "fresh_ui.h"
#include "geomdb.h"
#include "gl_context.h"
#include "glpr.h"
#include "models.h"
#include "shaders.h"
#include "wld_state.h"

namespace {

struct Cursor : GlTest {
  uint32_t programs[SHADERS_COUNT] = {};
  float cam[5][16] = {};
  uint8_t heights[GRIDCELLS] = {};
  void SetUp() override {
    GlTest::SetUp();
    fresh_ui();
    for (geomdesc* d : {&geomdesc_cursormdpos, &geomdesc_cursormdneg, &geomdesc_cursorarea})
      ASSERT_TRUE(geomdb_add(d, 1, false));
    gl_logged([&] { shaders_load(programs); });
    // Cells 0..4 fill the clip square, the ground well inside the depth range.
    for (auto& m : cam)
      for (int i = 0; i < 16; i++) m[i] = i % 5 == 0;
    cam[2][0] = cam[2][5] = 0.4f;
    cam[2][10] = 0.01f;
    cam[2][12] = cam[2][13] = -1.0f;
  }
  void TearDown() override {
    shaders_delete(programs);
    fresh_ui();  // while the context is current
    GlTest::TearDown();
  }
  // Share of the pixels whose dominant channel is green (0) or red (1).
  int dominant(int channel) {
    std::vector<uint8_t> p(W * H * 4);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    int n = 0;
    for (int i = 0; i < W * H; i++) {
      const int r = p[4 * i], g = p[4 * i + 1];
      n += channel == 0 ? g > r + 60 : r > g + 60;
    }
    return n;
  }
};

// One model per footprint cell inside the grid, faces and outlines alike.
TEST_F(Cursor, FootprintAndAreaDrawOneModelPerCellInsideTheGrid) {
  const struct {
    int32_t footprint, x, y, ax, ay, cells;
  } cases[] = {{3, 0, 0, -1, -1, 4},   {3, 64, 64, -1, -1, 9}, {2, 127, 127, -1, -1, 1},
               {2, 10, 10, -1, -1, 4}, {1, 127, 0, -1, -1, 1}, {1, 5, 5, 120, 120, 116 * 116},
               {1, 126, 3, 200, 3, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cells);
    ctrl_footprint = c.footprint;
    ctrl_cursor[0] = c.x, ctrl_cursor[1] = c.y;
    ctrl_anchor[0] = c.ax, ctrl_anchor[1] = c.ay;
    const bool area = c.ax >= 0, allowed = c.cells % 2 == 0;
    glpr_use(programs[SHADERS_GRID]);
    EXPECT_EQ(area ? ctrl_draw_area(cam, heights) : ctrl_draw_cursor(cam, allowed, heights),
              c.cells);
    glpr_use(programs[SHADERS_EDGE]);
    EXPECT_EQ(
        area ? ctrl_draw_area_lines(cam, heights) : ctrl_draw_cursor_lines(cam, allowed, heights),
        c.cells);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  }
  ctrl_footprint = 3;
}

// The verdict picks the colour: allowed is green, refused red.
TEST_F(Cursor, VerdictChoosesTheModel) {
  ctrl_footprint = 3;
  ctrl_cursor[0] = ctrl_cursor[1] = 2;
  glpr_use(programs[SHADERS_GRID]);
  for (bool allowed : {true, false}) {
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ctrl_draw_cursor(cam, allowed, heights);
    EXPECT_GT(dominant(allowed ? 0 : 1), W * H / 4) << allowed;
    EXPECT_EQ(dominant(allowed ? 1 : 0), 0) << allowed;
  }
}

// A dead member's sprite lasts just over ten drawn seconds; a tired one's stays.
TEST_F(Cursor, DeadSpritesExpireAfterTenDrawnSeconds) {
  glpr_use(programs[SHADERS_EMOT]);
  crowd_sz = 3;
  memset(wld_emote, 0, sizeof wld_emote);
  memset(emote_age, 0, sizeof emote_age);
  EXPECT_EQ(ctrl_draw_emotes(0.5f, cam), 0);  // nobody to show: nothing made or drawn
  wld_emote[1] = 1;
  wld_emote[2] = 2;
  int frames = 0;
  while (wld_emote[2] == 2 && frames < 100) {
    EXPECT_EQ(ctrl_draw_emotes(0.5f, cam), 1);
    frames++;
  }
  EXPECT_EQ(frames, 21);
  EXPECT_EQ(wld_emote[1], 1u);
  EXPECT_EQ(ctrl_draw_emotes(0.5f, cam), 1);  // the tired one still
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

}  // namespace
