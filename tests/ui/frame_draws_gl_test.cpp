// The frame's draw calls do not grow with the crowd: every crowd model is
// one instanced call however many wear it.
#include <gtest/gtest.h>

#include "crowd_draw.h"
#include "fresh_ui.h"
#include "game_screen.h"
#include "geomdb.h"
#include "models.h"

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
  testing::internal::CaptureStdout();
  ctrl_destroy();
  ctrl_create(1280, 720, 1.0f);  // the cats' models once, between the ground's and the tools'
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find(" event tracks.\n"), std::string::npos);
  EXPECT_EQ(log.find("cats_init()"), std::string::npos);
  const geomdesc* order[] = {&geomdesc_mappedterrainblu, &geomdesc_catsit, &geomdesc_catstand,
                             &geomdesc_bucke};
  EXPECT_NE(std::search(geomdb_entries, geomdb_entries + geomdb_sz, order, order + 4,
                        [](auto& e, auto* d) { return e.desc == d; }),
            geomdb_entries + geomdb_sz);
  game_screen_close(&screen);
  fresh_ui();
  // After the layer's reset a creation makes the one-time resources again, as
  // in a new process, and the next game draws its ground, crowd and HUD.
  ASSERT_TRUE(game_screen_open(&screen, 1280, 720)) << SDL_GetError();
  ASSERT_TRUE(drawcount_install());
  game_screen_update();
  game_screen_draw(&screen);
  const int64_t again = drawcount_frame(&screen);
  game_screen_close(&screen);
  fresh_ui();
  EXPECT_GE(draws[0], FLOOR);
  EXPECT_EQ(draws[0], draws[1]);
  EXPECT_GE(again, FLOOR);
}
