// The frame's draw calls do not grow with the crowd: every crowd model is
// one instanced call however many wear it.
#include <gtest/gtest.h>

#include "crowd_draw.h"
#include "fresh_ui.h"
#include "game_screen.h"

// The ground's three meshes, the crowd, six counter and six build icons.
static const int64_t FLOOR = 16;

TEST(FrameDraws, SameCallsForASmallAndAFullCrowd) {
  fresh_ui();
  game_screen screen;
  ASSERT_TRUE(game_screen_open(&screen, 1280, 720)) << SDL_GetError();
  ASSERT_TRUE(drawcount_install());
  ASSERT_TRUE(running_game_start(10.0, 0, 10)) << "no terrain map";
  // The ground is three meshes, each drawn in a call of its own.
  const float cam[5][16] = {};
  const int64_t before = drawcount_calls;
  EXPECT_EQ(wld_crowd_draw_ground(cam), 3);
  EXPECT_EQ(drawcount_calls - before, 3);
  const int crowds[] = {100, 4000};
  int64_t draws[2] = {0, 0};
  drawcount_crowds(&screen, crowds, 2, draws);
  EXPECT_EQ(crowd_sz, 4000);
  running_game_end();
  game_screen_close(&screen);
  fresh_ui();
  EXPECT_GE(draws[0], FLOOR);
  EXPECT_EQ(draws[0], draws[1]);
}
