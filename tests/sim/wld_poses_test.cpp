// The per-frame pose step runs inside the world update, so a game without a
// window moves its cats, its carried blocks and items, and grows its plants
// just as a drawn one does.
#include <gtest/gtest.h>

#include <cmath>

#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "fresh_sim.h"
#include "grain.h"
#include "mtbe.h"
#include "stones.h"
#include "terrain_map.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_poses.h"
#include "wld_start.h"
#include "wld_state.h"
#include "wld_update.h"

namespace {

struct PosesTest : ::testing::Test {
  void SetUp() override {
    fresh_sim();
    ASSERT_TRUE(wld_start_map(terrain_map_path().c_str()));
  }
  void TearDown() override { fresh_sim(); }
  void frames(int n) {
    for (int k = 0; k < n; k++) wld_update(4, 4.0 / 240.0);
  }
};

TEST_F(PosesTest, HeadlessCatsWalkAndTheirRecordsFollowTheirBodies) {
  float spawn[2] = {0, 0};
  bool moved = false;
  for (int k = 0; k < 60 * 40 && !moved; k++) {
    frames(1);
    if (cats_count == 0) continue;
    if (spawn[0] == 0) spawn[0] = cats_pos[0][0], spawn[1] = cats_pos[0][1];
    moved = hypotf(cats_pos[0][0] - spawn[0], cats_pos[0][1] - spawn[1]) > 1.0f;
  }
  ASSERT_GT(cats_count, 0);
  EXPECT_TRUE(moved) << "the cat stayed at (" << cats_pos[0][0] << ", " << cats_pos[0][1] << ")";
  cpVect p = cpBodyGetPosition(cats_body[0]);
  EXPECT_FLOAT_EQ(cats_pos[0][0], (float)p.x);
  EXPECT_FLOAT_EQ(cats_pos[0][1], (float)p.y);
  EXPECT_FLOAT_EQ(cats_trfs[0][12], cats_pos[0][0]);
  EXPECT_FLOAT_EQ(cats_trfs[0][13], cats_pos[0][1]);
}

// Blocks, food and grain ride on their walking carriers; the carrier's leg
// swing in element 15 never leaks into theirs.
TEST_F(PosesTest, CarriedThingsFollowTheirCarriersWithoutTheSwing) {
  frames(240);  // the first four workers are out and walking
  ASSERT_GE(crowd_sz, 4);
  int block = stones_take(0);
  ASSERT_GE(block, 0);
  int food = food_create_at_bakery(0, wld_trfs[1] + 12);
  ASSERT_EQ(food_pick_up(food, 1), food);
  int grain = grain_assign(2);
  ASSERT_GE(grain, 0);
  bool swung = false;
  for (int k = 0; k < 120; k++) {
    frames(1);
    swung = swung || fabsf(wld_trfs[0][15]) > 1e-3f;
    cpVect p = cpBodyGetPosition(wld_bodies[0]);
    ASSERT_FLOAT_EQ(stones_x[block], (float)p.x);
    ASSERT_FLOAT_EQ(stones_y[block], (float)p.y);
    ASSERT_FLOAT_EQ(stones_z[block], wld_trfs[0][14] + 1.267f);
    ASSERT_EQ(stones_inst[block][15], 1.0f);
    ASSERT_FLOAT_EQ(food_trfs[food][12], wld_trfs[1][12]);
    ASSERT_FLOAT_EQ(food_trfs[food][14], wld_trfs[1][14] + 1.267f);
    ASSERT_EQ(food_trfs[food][15], 1.0f);
    ASSERT_FLOAT_EQ(grain_trfs[grain][12], wld_trfs[2][12] - 0.1f * wld_trfs[2][0]);
    ASSERT_FLOAT_EQ(grain_trfs[grain][14], wld_trfs[2][14] + 1.0f);
    ASSERT_EQ(grain_trfs[grain][15], 1.0f);
  }
  EXPECT_TRUE(swung) << "the builder never walked";
  EXPECT_EQ(crowd_posx[0], wld_trfs[0][12]);
}

// A jam pushes members far faster than they walk: the walk phase stays
// within one turn and the swing within what the speed gives, frame after
// frame, and a step that is not a number starts the walk again.
TEST_F(PosesTest, AJammedMembersPhaseStaysWithinOneTurn) {
  frames(240);
  ASSERT_TRUE(crowd_sz > 0 && wld_bodies[0]);
  for (const float v : {0.5f, 10.0f, 1e4f, 1e30f})
    for (const float dt : {1 / 240.0f, 8 / 240.0f})
      for (int k = 0; k < 20; k++) {
        cpBodySetVelocity(wld_bodies[0], cpv(v, 0.0));
        cpBodySetAngularVelocity(wld_bodies[0], 0.0);
        wld_update_member_transforms(dt);
        ASSERT_LE(fabsf(crowd_phase[0]), (float)M_PI) << v << " " << dt;
        ASSERT_LE(fabsf(wld_trfs[0][15]), 1.001f * 0.9f * fmaxf(1.1f * v, 1.2f)) << v;
      }
  float phase = 1.0f;
  wld_advance_phase(&phase, INFINITY);
  EXPECT_EQ(phase, 0.0f);
}

TEST_F(PosesTest, PlantsStandAsHighAsTheyHaveGrown) {
  int f = farms_add(30, 30);
  farms_size[f][0] = 0.0f;
  farms_size[f][4] = 0.5f;
  farms_size[f][8] = 1.2f;
  frames(1);
  EXPECT_FLOAT_EQ(farms_trfs[f][0][10], 1.0f);
  EXPECT_FLOAT_EQ(farms_trfs[f][4][10], 4.0f);
  EXPECT_NEAR(farms_trfs[f][8][10], 8.2f, 1e-5);
}

}  // namespace
