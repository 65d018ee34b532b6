#include <cmath>

#include "wld_site.h"

namespace {

int space_shapes() {
  int n = 0;
  cpSpaceEachShape(
      wld_space, [](cpShape*, void* d) { ++*(int*)d; }, &n);
  return n;
}

int space_bodies() {
  int n = 0;
  cpSpaceEachBody(
      wld_space, [](cpBody*, void* d) { ++*(int*)d; }, &n);
  return n;
}

bool east_open(int x, int y) {
  int c = grid_cidx(x, y);
  return basecoste[c] < FLT_UNDF && (wld_cellflags[c] & OPEN_E) && (wld_cellflags[c + 1] & OPEN_W);
}

bool segment_is(cpShape* s, cpVect a, cpVect b) {
  return s && cpveql(cpSegmentShapeGetA(s), a) && cpveql(cpSegmentShapeGetB(s), b) &&
         cpSegmentShapeGetRadius(s) == 0.0 && cpShapeGetFriction(s) == 0.2 &&
         cpShapeGetBody(s) == cpSpaceGetStaticBody(wld_space);
}

using WldWalls = WorldTest;

TEST_F(WldWalls, FlatSiteIsEnclosedOnlyAlongItsBorder) {
  site_flat(5);
  EXPECT_EQ(site_build(), 758);
  int east = 0;
  for (int c = 0; c < GRIDCELLS; c++) east += wld_eastwalls[c] != nullptr;
  EXPECT_EQ(east, 379);
  EXPECT_EQ(space_shapes(), 758);
  for (int i = 0; i < GRIDSZ - 1; i++) {
    EXPECT_NE(wld_eastwalls[grid_cidx(0, i)], nullptr) << i;
    EXPECT_NE(wld_eastwalls[grid_cidx(126, i)], nullptr) << i;
    EXPECT_NE(wld_southwalls[grid_cidx(i, 0)], nullptr) << i;
    EXPECT_NE(wld_southwalls[grid_cidx(i, 126)], nullptr) << i;
  }
  EXPECT_EQ(site_faults(), 0);  // so no interior edge has a wall

  EXPECT_EQ(wld_clear_walls(), 758);
  EXPECT_EQ(space_shapes(), 0);
  EXPECT_EQ(site_walls(), 0);
}

TEST_F(WldWalls, AddingAndRemovingAnEdgeKeepsCostsAndBitsInStep) {
  site_flat(5);
  site_build();
  const int c = grid_cidx(40, 40);

  ASSERT_EQ(wld_add_east_wall(40, 40), 1);
  ASSERT_EQ(wld_add_south_wall(40, 40), 1);
  cpShape* east = wld_eastwalls[c];
  EXPECT_TRUE(segment_is(east, cpv(41, 40), cpv(41, 41)));
  EXPECT_TRUE(segment_is(wld_southwalls[c], cpv(40, 41), cpv(41, 41)));
  EXPECT_EQ(wld_cellflags[c], OPEN_W | OPEN_N);
  EXPECT_EQ(basecostn[c + GRIDSZ], FLT_UNDF);
  EXPECT_EQ(site_faults(), 0);
  EXPECT_EQ(wld_add_east_wall(40, 40), 0);  // refused, the first stays
  EXPECT_EQ(wld_eastwalls[c], east);

  EXPECT_TRUE(wld_remove_east_wall(40, 40));
  EXPECT_TRUE(wld_remove_south_wall(40, 40));
  EXPECT_EQ(basecostw[c + 1], 1.0f);
  EXPECT_EQ(wld_cellflags[c], OPEN_W | OPEN_E | OPEN_N | OPEN_S);
  EXPECT_FALSE(wld_remove_east_wall(40, 40));
  EXPECT_FALSE(wld_remove_south_wall(40, 40));
  EXPECT_EQ(space_shapes(), 758);
  EXPECT_EQ(site_faults(), 0);
}

TEST_F(WldWalls, RemovingACliffWallLeavesTheCliffClosedUntilRebuilt) {
  site_flat(5);
  const int c = grid_cidx(30, 30);
  wld_height[c + 1] = 9;
  site_build();
  EXPECT_TRUE(wld_remove_east_wall(30, 30));
  EXPECT_EQ(basecoste[c], FLT_UNDF);
  EXPECT_EQ(basecostw[c + 1], FLT_UNDF);
  EXPECT_EQ(wld_cellflags[c] & OPEN_E, OPEN_E);
  EXPECT_EQ(wld_cellflags[c + 1] & OPEN_W, OPEN_W);
  EXPECT_EQ(wld_create_walls(), 1);
  EXPECT_EQ(site_faults(), 0);
}

TEST_F(WldWalls, EdgesOffTheGridOrWithoutASpaceAreRefused) {
  site_flat(5);
  wld_compute_basecosts(wld_height);
  EXPECT_EQ(wld_add_east_wall(10, 10), 0);
  EXPECT_EQ(wld_create_walls(), 0);
  EXPECT_EQ(basecoste[grid_cidx(10, 10)], 1.0f);

  wld_create_space();
  EXPECT_EQ(wld_add_east_wall(127, 5) + wld_add_south_wall(5, 127), 0);
  EXPECT_EQ(wld_add_east_wall(-1, 5) + wld_add_south_wall(5, -1), 0);
  EXPECT_FALSE(wld_remove_east_wall(127, 127));
  EXPECT_EQ(wld_add_east_wall(126, 127) + wld_add_south_wall(127, 126), 2);
  EXPECT_EQ(space_shapes(), 2);
}

TEST_F(WldWalls, BuildingMasksWallTheirOutlines) {
  site_flat(5);
  int added = site_build();

  int bakery = wld_walls_bakery(20, 20);
  EXPECT_FALSE(east_open(19, 20));  // mask 9
  EXPECT_TRUE(east_open(18, 20));   // mask 15
  EXPECT_FALSE(east_open(20, 20));  // mask 0 walls east and south
  EXPECT_NE(wld_southwalls[grid_cidx(20, 20)], nullptr);
  EXPECT_EQ(wld_walls_bakery(20, 20), 0);

  int taxc = wld_walls_taxc(40, 40);
  EXPECT_FALSE(east_open(40, 40));  // mask 4
  EXPECT_NE(wld_southwalls[grid_cidx(40, 40)], nullptr);
  EXPECT_TRUE(east_open(41, 38));  // mask 7 walls the south edge only
  EXPECT_NE(wld_southwalls[grid_cidx(41, 38)], nullptr);

  int hut = wld_walls_hut(60, 60);
  EXPECT_TRUE(east_open(60, 60));  // mask 15
  EXPECT_EQ(wld_southwalls[grid_cidx(60, 60)], nullptr);
  EXPECT_TRUE(east_open(59, 60));  // mask 10
  EXPECT_EQ(wld_southwalls[grid_cidx(59, 60)], nullptr);
  EXPECT_FALSE(east_open(61, 61));  // mask 5

  added += bakery + taxc + hut;
  EXPECT_EQ(site_walls(), added);
  EXPECT_EQ(space_shapes(), added);
  EXPECT_EQ(site_faults(), 0);

  // Sites whose 5 by 5 cells leave the grid are refused whole.
  EXPECT_EQ(wld_walls_hut(1, 60) + wld_walls_taxc(60, 126) + wld_walls_bakery(126, 60), 0);
  EXPECT_EQ(space_shapes(), added);
}

TEST_F(WldWalls, WallsStopBodies) {
  site_flat(5);
  site_build();
  wld_add_east_wall(50, 50);
  ASSERT_TRUE(wld_add_body(0, 50.5f, 50.5f));
  ASSERT_TRUE(wld_add_body(1, 50.5f, 60.5f));
  cpBodySetVelocity(wld_bodies[0], cpv(2, 0));
  cpBodySetVelocity(wld_bodies[1], cpv(2, 0));
  for (int i = 0; i < 240; i++) cpSpaceStep(wld_space, 1.0 / 240);
  EXPECT_LT(cpBodyGetPosition(wld_bodies[0]).x, 51.0 - 0.25);
  EXPECT_GT(cpBodyGetPosition(wld_bodies[1]).x, 52.0);
}

TEST(WldWallsDeath, CreateWallsStopsOnOneSidedCost) {
  site_flat(5);
  wld_compute_basecosts(wld_height);
  wld_create_space();
  basecoste[grid_cidx(60, 60)] = FLT_UNDF;
  EXPECT_DEATH(wld_create_walls(), "basecostw. i.1 . == ");
  basecoste[grid_cidx(60, 60)] = 1.0f;
  basecosts[grid_cidx(60, 60)] = FLT_UNDF;
  EXPECT_DEATH(wld_create_walls(), "basecostn. i.128 . == ");
  wld_exit();
}

using WldBodies = WorldTest;

TEST_F(WldBodies, AWorkerIsACircleInTheSpace) {
  wld_create_space();
  EXPECT_EQ(cpSpaceGetIterations(wld_space), 5);
  EXPECT_TRUE(cpveql(cpSpaceGetGravity(wld_space), cpvzero));

  ASSERT_TRUE(wld_add_body(7, 12.5f, 30.25f));
  cpBody* b = wld_bodies[7];
  cpShape* s = wld_shapes[7];
  EXPECT_TRUE(cpSpaceContainsBody(wld_space, b) && cpSpaceContainsShape(wld_space, s));
  EXPECT_EQ(cpBodyGetMass(b), 1.0);
  EXPECT_NEAR(cpBodyGetMoment(b), 0.02, 1e-12);
  EXPECT_TRUE(cpveql(cpBodyGetPosition(b), cpv(12.5, 30.25)));
  EXPECT_NEAR(cpBodyGetAngle(b), -M_PI / 2, 1e-12);
  EXPECT_EQ(cpShapeGetBody(s), b);
  EXPECT_EQ(cpCircleShapeGetRadius(s), 0.3);
  EXPECT_TRUE(cpveql(cpCircleShapeGetOffset(s), cpvzero));
  EXPECT_EQ(cpShapeGetFriction(s), 0.7);
}

TEST_F(WldBodies, BadRequestsAreRefusedBeforeTheyReachThePhysics) {
  EXPECT_FALSE(wld_add_body(0, 1, 1));  // no space
  wld_create_space();
  EXPECT_FALSE(wld_add_body(-1, 1, 1));
  EXPECT_FALSE(wld_add_body(CROWDSZ, 1, 1));
  EXPECT_FALSE(wld_add_body(0, NAN, 1));
  EXPECT_FALSE(wld_add_body(0, 1, INFINITY));
  EXPECT_EQ(space_bodies(), 0);
  ASSERT_TRUE(wld_add_body(0, 1, 1));
  cpBody* first = wld_bodies[0];
  EXPECT_FALSE(wld_add_body(0, 2, 2));
  EXPECT_EQ(wld_bodies[0], first);
  EXPECT_EQ(space_bodies(), 1);
}

TEST_F(WldBodies, RemovalAndExitFreeEverything) {
  site_flat(5);
  site_build();
  for (int i : {0, 5, CROWDSZ - 1}) ASSERT_TRUE(wld_add_body(i, 10.0f + i % 50, 10));
  EXPECT_EQ(wld_remove_bodies(), 3);
  EXPECT_EQ(space_bodies(), 0);
  EXPECT_EQ(space_shapes(), 758);
  for (int i = 0; i < CROWDSZ; i++) ASSERT_TRUE(!wld_bodies[i] && !wld_shapes[i]) << i;

  ASSERT_TRUE(wld_add_body(5, 20, 20));
  wld_exit();
  EXPECT_EQ(wld_space, nullptr);
  EXPECT_TRUE(!wld_bodies[5] && !wld_shapes[5]);
  EXPECT_EQ(site_walls(), 0);
  wld_exit();  // a second teardown finds nothing to do
}

// A restart without a crowd creates a space while the old one still stands.
TEST_F(WldBodies, ANewSpaceReplacesTheOldOne) {
  site_flat(5);
  site_build();
  ASSERT_TRUE(wld_add_body(0, 20, 20));
  EXPECT_EQ(site_build(), 758);
  EXPECT_EQ(wld_bodies[0], nullptr);
  EXPECT_EQ(space_shapes(), 758);
}

}  // namespace
