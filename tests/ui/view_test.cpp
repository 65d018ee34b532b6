#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <array>
#include <cmath>

#include "ctrl_fixture.h"
#include "matrix.h"
#include "pane.h"

namespace {

struct RectCase {
  int view, x, y, w, h;
};

TEST(ViewLayout, FullHdAndHd) {
  struct {
    int W, H;
    RectCase cases[14];
  } sizes[] = {
      {1920,
       1080,
       {{0, 422, 22, 1075, 268},
        {1, 240, 0, 1440, 1080},
        {9, 240, 0, 1440, 1080},
        {2, 403, 604, 1114, 432},
        {3, 1769, 16, 135, 135},
        {4, 192, 864, 1536, 96},
        {8, 192, 288, 1536, 96},
        {10, 7, 1001, 180, 72},
        {14, 755, 1001, 180, 72},
        {15, 1733, 1001, 180, 72},
        {16, 7, 7, 360, 713},
        {17, 1733, 367, 180, 72},
        {22, 1733, 7, 180, 72},
        {23, 0, 0, 1920, 1080}}},
      {1280,
       720,
       {{0, 282, 14, 716, 179},
        {1, 160, 0, 960, 720},
        {9, 160, 0, 960, 720},
        {2, 269, 403, 742, 288},
        {3, 1179, 11, 90, 90},
        {4, 128, 576, 1024, 64},
        {8, 128, 192, 1024, 64},
        {10, 4, 668, 120, 48},
        {14, 500, 668, 120, 48},
        {15, 1156, 668, 120, 48},
        {16, 4, 4, 272, 540},
        {17, 1156, 244, 120, 48},
        {22, 1156, 4, 120, 48},
        {23, 0, 0, 1280, 720}}},
  };
  for (auto& s : sizes) {
    view_layout(s.W, s.H);
    for (const RectCase& c : s.cases) {
      SCOPED_TRACE(testing::Message() << s.W << "x" << s.H << " view " << c.view);
      const view_rectangle r = view_get(c.view);
      EXPECT_EQ((std::array<int, 4>{r.x, r.y, r.w, r.h}), (std::array<int, 4>{c.x, c.y, c.w, c.h}));
    }
  }
}

TEST(ViewLayout, NoSizeGivesEmptyRectangles) {
  view_layout(0, 0);
  for (int v = 0; v < VIEWCOUNT; v++) EXPECT_GE(view_get(v).w, 0) << v;
  EXPECT_EQ(view_get(VIEW_WORLD).w, 0);
}

TEST(ViewLayoutDeath, OutOfRangeNumberStops) { EXPECT_DEATH(view_get(24), "nr=24"); }

class ViewInput : public CtrlTest {};

TEST_F(ViewInput, HitTestEdgesOverlapAndHiddenHud) {
  view_shown[VIEW_TOAST] = 1;
  view_shown[VIEW_LABOR] = 1;
  struct {
    int x, y, want;
  } cases[] = {
      {282, 14, VIEW_TOAST},  {998, 193, VIEW_TOAST},  // both corners of the toast
      {999, 193, VIEW_WORLD}, {1276, 716, VIEW_LABOR}, {1280, 720, VIEW_WORLD}, {1281, 10, -1},
      {-1, 10, -1},
  };
  for (auto& c : cases) EXPECT_EQ(view_hit(c.x, c.y), c.want) << c.x << "," << c.y;
  // The HUD hidden: its buttons take nothing.
  ctrl_hudhidden = true;
  EXPECT_EQ(view_hit(1200, 700), VIEW_WORLD);
}

// On the menu screen only the menu views are hit, not the HUD left shown below it.
TEST_F(ViewInput, MenuHidesTheLaborButtonFromClicks) {
  ctrl_show_menu_screen();
  point(1200, 690);
  EXPECT_EQ(view_pointer_down(SDLMAIN_PTR_LEFT), -1);
  EXPECT_EQ(ctrl_count("hire"), 0);
  point(640, 360);
  EXPECT_EQ(view_pointer_down(SDLMAIN_PTR_LEFT), VIEW_MENU);
  ASSERT_FALSE(ctrl_posts().empty());
  EXPECT_EQ(ctrl_posts()[0], "settings touchy=0.500000 click=1");
}

TEST_F(ViewInput, ClickPlacesDragDoesNot) {
  struct {
    float steps[3];  // successive pointer x positions after the press at 100
    int placed;
  } cases[] = {
      {{103, 106, 109}, 1},  // small steps add up but never drag
      {{105, 105, 105}, 0},  // one step over 4 pixels drags
  };
  for (auto& c : cases) {
    ctrl_posts().clear();
    point(100, 100);
    ASSERT_EQ(view_pointer_down(SDLMAIN_PTR_LEFT), VIEW_WORLD);
    for (float x : c.steps) {
      point(x, 100);
      view_pointer_move(true);
    }
    EXPECT_TRUE(view_pointer_up(SDLMAIN_PTR_LEFT));
    EXPECT_EQ(ctrl_count("placebuilding"), c.placed) << c.steps[0];
    EXPECT_EQ(numCamTouches, 0);
    view_reset_pointers();
  }
  // The right button never places; a second press of one id is refused.
  point(100, 100);
  view_pointer_down(SDLMAIN_PTR_RIGHT);
  view_pointer_down(SDLMAIN_PTR_RIGHT);
  EXPECT_EQ(numCamTouches, 1);
  EXPECT_TRUE(view_pointer_up(SDLMAIN_PTR_RIGHT));
  EXPECT_FALSE(view_pointer_up(SDLMAIN_PTR_RIGHT));
  EXPECT_EQ(ctrl_count("placebuilding"), 0);
}

TEST_F(ViewInput, ButtonsAndSlidersPost) {
  for (int v = VIEW_BUILD0; v <= VIEW_LABOR; v++) view_shown[v] = 1;
  point(10, 690);
  view_pointer_down(SDLMAIN_PTR_LEFT);
  point(1200, 690);
  view_pointer_down(SDLMAIN_PTR_LEFT);
  EXPECT_EQ(ctrl_count("buildmode selected=1"), 1);
  EXPECT_EQ(ctrl_count("hire"), 1);
  view_reset_pointers();
  ctrl_posts().clear();
  view_shown[VIEW_SLIDER0 + 2] = 1;  // field workers: y 288..352
  point(128 + 512, 300);
  view_pointer_down(SDLMAIN_PTR_LEFT);
  point(128 + 256, 300);
  view_pointer_move(true);
  ASSERT_EQ(ctrl_posts().size(), 2u);
  EXPECT_EQ(ctrl_posts()[0], "workforce type=2 x=0.500000 click=1");
  EXPECT_EQ(ctrl_posts()[1], "workforce type=2 x=0.250000 click=0");
}

TEST_F(ViewInput, EdgePanOnlyWithoutButtons) {
  struct {
    float x, y;
    bool held;
    float ex, ey;
  } cases[] = {
      {0, 300, false, 2, 0},   {1279, 300, false, -2, 0}, {600, 0, false, 0, -2},
      {600, 719, false, 0, 2}, {0, 0, true, 0, 0},        {600, 300, false, 0, 0},
  };
  for (auto& c : cases) {
    point(c.x, c.y);
    view_pointer_move(c.held);
    EXPECT_EQ(view_edgepanx, c.ex) << c.x << "," << c.y;
    EXPECT_EQ(view_edgepany, c.ey) << c.x << "," << c.y;
  }
}

TEST_F(ViewInput, KeysPostAndHold) {
  struct {
    SDL_Keycode key;
    int down;
    const char* post;  // null: none
  } cases[] = {
      {SDLK_RETURN, 1, "placebuilding"},
      {SDLK_SPACE, 0, nullptr},
      {SDLK_KP_ENTER, 1, "placebuilding"},
      {SDLK_3, 1, "showgoal nr=3"},
      {SDLK_3, 0, "showgoal nr=-1"},
      {SDLK_BACKQUOTE, 1, "togglehud"},
      {SDLK_LSHIFT, 1, "areaselect val=1"},
      {SDLK_RSHIFT, 0, "areaselect val=0"},
      {SDLK_q, 1, nullptr},
  };
  for (auto& c : cases) {
    ctrl_posts().clear();
    view_key(c.key, c.down);
    if (c.post) {
      ASSERT_EQ(ctrl_posts().size(), 1u) << c.post;
      EXPECT_EQ(ctrl_posts()[0], c.post);
    } else {
      EXPECT_TRUE(ctrl_posts().empty()) << c.key;
    }
  }
  view_key(SDLK_d, 1);
  view_key(SDLK_RIGHT, 1);
  view_key(SDLK_d, 0);  // both write one value: the pan stops
  EXPECT_EQ(view_panx, 0.0f);
}

TEST_F(ViewInput, PanIsClampedAndStopsDeadClimbCoasts) {
  view_key(SDLK_w, 1);
  for (int i = 0; i < 100; i++) view_update(1.0f);
  EXPECT_EQ(view_panvy, 10.0f);
  ctrl_posts().clear();
  view_key(SDLK_w, 0);
  view_update(0.1f);
  EXPECT_EQ(view_panvy, 0.0f);
  EXPECT_EQ(ctrl_count("movecoi"), 0);
  view_key(SDLK_PAGEUP, 1);
  view_update(0.5f);
  EXPECT_FLOAT_EQ(view_climbvel, 1.0f);
  view_key(SDLK_PAGEUP, 0);
  view_update(0.5f);
  EXPECT_FLOAT_EQ(view_climbvel, 0.95f);
  EXPECT_EQ(ctrl_posts().back(), "camclimb delta=0.475000");
  view_key(SDLK_KP_PLUS, 1);
  ctrl_posts().clear();
  view_update(0.5f);
  EXPECT_EQ(ctrl_posts()[0], "cameraControl distScale=1.500000");
}

// A click on a worker puts the swirl of stars round it from the next frame on.
TEST_F(ViewInput, ClickOnAWorkerCirclesItWithStars) {
  float phases[SPIRAL_POINTS];
  memcpy(phases, spiral_phases, sizeof phases);
  for (int i = 0; i < SPIRAL_POINTS; i++) spiral_phases[i] = -i / 63.0f;
  wld_add_taxc(61, 59);
  wld_started = 1;
  wld_age = 5.0;
  const int w = wld_spawn(0);
  ASSERT_GE(w, 0);
  cpBodySetPosition(wld_bodies[w], cpv(64.3, 64.2));
  // The screen's centre looks straight down on cell (64, 64).
  mat4_identity(ctrl_drawcam[1]);
  mat4_identity(ctrl_drawcam[2]);
  ctrl_drawcam[1][12] = ctrl_drawcam[1][13] = -64.0f;
  point(640, 360);
  sdlmain_buttons = SDLMAIN_BIT_LEFT;
  ctrl_pick(0.5f);
  ASSERT_EQ(wld_selected, w);
  ctrl_update(1, 1 / 240.0);
  float pts[SPIRAL_POINTS * 5];
  const int n = spiral_points(wld_age, pts);
  EXPECT_EQ(n, SPIRAL_POINTS);
  for (const float* p = pts; p < pts + 5 * n; p += 5) {
    EXPECT_LE(std::fabs(p[0] - 64.3f), 0.5f + 1e-4f);
    EXPECT_LE(std::fabs(p[1] - 64.2f), 0.5f + 1e-4f);
    EXPECT_GE(p[2], 5 * 0.15f);
    EXPECT_LE(p[2], 5 * 0.15f + 1.84f + 1e-4f);
  }
  wld_selected = -1;
  memcpy(spiral_phases, phases, sizeof phases);
}

}  // namespace
