#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "save_game.h"
#include "wld_site.h"

namespace {

class StackedCrowd : public WorldTest {};

// A full crowd saved on one spot of a plateau that cliffs close all round
// loads spread over it, no two spread members touching; a cell's share stays
// on the spot and members standing apart keep their places.
TEST_F(StackedCrowd, LoadsSpreadWhereItCanWalk) {
  save_game_build();
  for (int y = 40; y < 90; y++)
    for (int x = 20; x < 70; x++) wld_height[grid_cidx(x, y)] = 20;
  const std::vector<float> apart(crowd_posx, crowd_posx + crowd_sz);
  while (crowd_sz < CROWDSZ) {
    const int i = wld_spawn(0);
    wld_remove_body(i);  // the load gives it one; stacked here, it would slow the space down
    crowd_posx[i] = crowd_posy[i] = 55.5f;
  }
  testing::internal::CaptureStdout();
  ASSERT_TRUE(save_pair_load(save_pair_of_world()));
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::vector<float>(crowd_posx, crowd_posx + apart.size()), apart);
  std::vector<int> moved;
  for (int i = apart.size(); i < crowd_sz; i++) {
    ASSERT_EQ(cpBodyGetPosition(wld_bodies[i]).x, crowd_posx[i]) << i;
    if (crowd_posx[i] == 55.5f && crowd_posy[i] == 55.5f) continue;
    ASSERT_EQ(wld_height[grid_cidx((int)crowd_posx[i], (int)crowd_posy[i])], 20) << i;
    for (int k : moved)
      ASSERT_GE(std::hypot(crowd_posx[k] - crowd_posx[i], crowd_posy[k] - crowd_posy[i]), 0.6) << i;
    moved.push_back(i);
  }
  EXPECT_GT(moved.size(), CROWDSZ - apart.size() - 20);
}

}  // namespace
