#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "save_game.h"
#include "wld_site.h"

namespace {

class StackedCrowd : public WorldTest {};

// A full crowd saved on one spot of a plateau loads spread over the plateau,
// which cliffs close all round, its spread members touching none of each
// other; a cell's share stays on the spot and members standing apart keep
// their places.
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
  std::vector<int> moved;
  for (int i = 0; i < crowd_sz; i++) {
    ASSERT_EQ(cpBodyGetPosition(wld_bodies[i]).x, crowd_posx[i]) << i;
    if (i < (int)apart.size())
      EXPECT_EQ(crowd_posx[i], apart[i]) << i;
    else if (crowd_posx[i] != 55.5f || crowd_posy[i] != 55.5f)
      moved.push_back(i);
  }
  EXPECT_GT(moved.size(), CROWDSZ - apart.size() - 20);
  for (size_t a = 0; a < moved.size(); a++) {
    const int i = moved[a];
    ASSERT_EQ(wld_height[grid_cidx((int)crowd_posx[i], (int)crowd_posy[i])], 20) << i;
    for (size_t b = a + 1; b < moved.size(); b++)
      ASSERT_GE(
          std::hypot(crowd_posx[moved[b]] - crowd_posx[i], crowd_posy[moved[b]] - crowd_posy[i]),
          0.6)
          << i << " touches " << moved[b];
  }
}

}  // namespace
