// The frame's world update: stats, the death-limit warning, cats, the
// pyramid level and following the selection.
#include <gtest/gtest.h>

#include "cats.h"
#include "grain.h"
#include "stones.h"
#include "taxc.h"
#include "wld_jobs.h"
#include "wld_place.h"
#include "wld_state.h"
#include "wld_update.h"
#include "wld_world.h"

class WorldUpdate : public WorldRun {
 protected:
  void SetUp() override {
    WorldRun::SetUp();
    wld_add_taxc(61, 59);
    wld_started = 1;
  }
  // Frames of dt seconds until the world has run for `seconds`.
  void run(double seconds, double dt) {
    for (double t = 0.0; t < seconds; t += dt) wld_update(8, dt);
  }
};

TEST_F(WorldUpdate, StatsEveryThreeSecondsAtAnyFrameRateAndSteamsyncAfterTheFourth) {
  run(13.5, 1.0 / 30.0);
  EXPECT_EQ(world_count("steamintstat"), 20);
  EXPECT_EQ(world_count("steamsync"), 1);
  EXPECT_EQ(world_posts().back(), "steamsync");
  const char* first[] = {"steamintstat name=s_dead val=0", "steamintstat name=s_alive val=0",
                         "steamintstat name=s_farms val=0", "steamintstat name=s_hires val=0",
                         "steamintstat name=s_silver val=200"};
  ASSERT_GE(world_posts().size(), 5u);
  for (int k = 0; k < 5; k++) EXPECT_EQ(world_posts()[k], first[k]);

  world_posts().clear();
  wld_stattimer = 0.0f;
  run(13.5, 0.25);
  EXPECT_EQ(world_count("steamintstat"), 20);
  EXPECT_EQ(world_count("steamsync"), 1);  // after the 8th
  EXPECT_EQ(wld_statcount, 8);
}

TEST_F(WorldUpdate, CheatPostsNoStats) {
  sdlmain_cheat = 1;
  run(7.0, 0.25);
  EXPECT_EQ(world_count("steamintstat"), 0);
  EXPECT_GT(wld_stattimer, 6.5f);
}

TEST_F(WorldUpdate, DeathLimitWarning) {
  crowd_sz = 100;
  // difficulty, dead, warned, percent (-1: left alone)
  const int cases[][4] = {{2, 4, 0, 5},   {2, 5, 1, 5},   {0, 36, 0, 40}, {0, 37, 1, 40},
                          {1, 18, 0, 20}, {1, 19, 1, 20}, {7, 0, 0, -1},  {7, 1, 1, -1}};
  for (const auto& c : cases) {
    ctrl_difficulty = c[0];
    wld_numdead = c[1];
    int percent = -1;
    EXPECT_EQ(wld_critical_dead(&percent), c[2] != 0) << c[0] << " " << c[1];
    EXPECT_EQ(percent, c[3]);
  }
  ctrl_difficulty = 0;
  wld_numdead = 0;
  crowd_sz = 0;
}

TEST_F(WorldUpdate, OneCatAndOneTargetPerFiveWorkers) {
  for (int k = 0; k < 9; k++) wld_spawn(0);
  wld_spawntimer = 0.0f;
  wld_update(1, 0.01);
  EXPECT_EQ(cats_tgt_count, 1);
  EXPECT_EQ(wld_catspawn, 1);  // 0 cats, 2 wanted
  wld_update(1, 0.01);
  EXPECT_EQ(cats_count, 1);
  EXPECT_EQ(cats_tgt_count, 2);
  EXPECT_EQ(wld_catspawn, 1);
  wld_update(1, 0.01);
  wld_update(1, 0.01);
  EXPECT_EQ(cats_count, 2);
  EXPECT_EQ(cats_tgt_count, 2);
  EXPECT_EQ(wld_catspawn, 0);

  // However large the crowd, no more than MAXCATS cats.
  while (cats_count < MAXCATS) cats_add(10.5f, 10.5f, 0.75f);
  while (crowd_sz < 5 * MAXCATS + 5) crowd_add(0);
  wld_update(1, 0.01);
  EXPECT_EQ(wld_catspawn, 0);
}

TEST_F(WorldUpdate, FirstLayerPostsTheAchievementOnce) {
  for (int y = 62; y <= 74; y++)
    for (int x = 36; x <= 48; x++) wld_height[grid_cidx(x, y)] = 41;
  wld_update(2, 0.01);
  EXPECT_EQ(stones_pyramid_level, 6);
  wld_update(2, 0.01);
  for (int y = 63; y <= 73; y++)
    for (int x = 37; x <= 47; x++) wld_height[grid_cidx(x, y)] = 44;
  wld_update(2, 0.01);
  EXPECT_EQ(stones_pyramid_level, 5);
  EXPECT_EQ(world_count("achievement name=a_fundamentalist"), 1);
}

TEST_F(WorldUpdate, MissingBakeryWhileGrainIsCarried) {
  wld_update(1, 0.01);
  EXPECT_EQ(world_count("missingbakery"), 0);
  grain_assign(0);
  wld_update(1, 0.01);
  wld_update(1, 0.01);
  EXPECT_EQ(world_count("missingbakery"), 2);
}

TEST_F(WorldUpdate, TheSelectionHoldsStillUntilItDies) {
  EXPECT_FALSE(wld_follow_selected());
  int w = member_at(0, 30, 31, 1);
  cpBodySetVelocity(wld_bodies[w], cpv(1.0, 0.5));
  wld_height[grid_cidx(30, 31)] = 8;
  wld_selected = w;
  EXPECT_TRUE(wld_follow_selected());
  cpVect v = cpBodyGetVelocity(wld_bodies[w]);
  EXPECT_EQ(v.x, 0.0);
  EXPECT_EQ(v.y, 0.0);
  EXPECT_FLOAT_EQ(spiral_centre[0], 30.5f);
  EXPECT_FLOAT_EQ(spiral_centre[1], 31.5f);
  EXPECT_FLOAT_EQ(spiral_centre[2], 8 * 0.15f);

  crowd_goal[w] = JOB_TIRED;
  wld_kill(w);
  EXPECT_TRUE(wld_follow_selected());
  EXPECT_EQ(wld_selected, -1);
  EXPECT_EQ(wld_selectedcat, -1);
}
