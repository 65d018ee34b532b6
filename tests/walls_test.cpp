#include <cmath>

#include "wld_site.h"

namespace {

int space_count_shapes() {
  int n = 0;
  cpSpaceEachShape(wld_space, [](cpShape*, void* d) { ++*(int*)d; }, &n);
  return n;
}

int space_count_bodies() {
  int n = 0;
  cpSpaceEachBody(wld_space, [](cpBody*, void* d) { ++*(int*)d; }, &n);
  return n;
}

bool east_open(int x, int y) {
  int c = site_cell(x, y);
  return basecoste[c] < FLT_UNDF && (wld_cellflags[c] & OPEN_E) && (wld_cellflags[c + 1] & OPEN_W);
}

using WldWalls = WorldTest;

TEST_F(WldWalls, FlatSiteIsEnclosedOnlyAlongItsBorder) {
  site_flat(5);
  EXPECT_EQ(site_build(), 758);
  EXPECT_EQ(site_count(wld_eastwalls), 379);
  EXPECT_EQ(site_count(wld_southwalls), 379);
  EXPECT_EQ(space_count_shapes(), 758);
  for (int i = 0; i < GRIDSZ - 1; i++) {
    EXPECT_NE(wld_eastwalls[site_cell(i, 0)], nullptr) << i;
    EXPECT_NE(wld_eastwalls[site_cell(0, i)], nullptr) << i;
    EXPECT_NE(wld_eastwalls[site_cell(126, i)], nullptr) << i;
    EXPECT_NE(wld_southwalls[site_cell(i, 126)], nullptr) << i;
  }
  for (int y = 1; y < GRIDSZ - 1; y++)
    for (int x = 1; x < GRIDSZ - 2; x++) ASSERT_EQ(wld_eastwalls[site_cell(x, y)], nullptr);
  expect_site_consistent();

  EXPECT_EQ(wld_clear_walls(), 758);
  EXPECT_EQ(space_count_shapes(), 0);
  EXPECT_EQ(site_count(wld_eastwalls) + site_count(wld_southwalls), 0);
}

TEST_F(WldWalls, AddingAndRemovingAnEdgeKeepsCostsAndBitsInStep) {
  site_flat(5);
  site_build();
  const int c = site_cell(40, 40);

  ASSERT_EQ(wld_add_east_wall(40, 40), 1);
  cpShape* seg = wld_eastwalls[c];
  ASSERT_NE(seg, nullptr);
  EXPECT_EQ(cpShapeGetBody(seg), cpSpaceGetStaticBody(wld_space));
  EXPECT_TRUE(cpveql(cpSegmentShapeGetA(seg), cpv(41, 40)));
  EXPECT_TRUE(cpveql(cpSegmentShapeGetB(seg), cpv(41, 41)));
  EXPECT_EQ(cpSegmentShapeGetRadius(seg), 0.0);
  EXPECT_EQ(cpShapeGetFriction(seg), 0.2);
  EXPECT_FALSE(east_open(40, 40));
  EXPECT_EQ(basecostw[c + 1], FLT_UNDF);
  EXPECT_EQ(wld_add_east_wall(40, 40), 0);  // refused, the first stays
  EXPECT_EQ(wld_eastwalls[c], seg);
  expect_site_consistent();

  ASSERT_EQ(wld_add_south_wall(40, 40), 1);
  EXPECT_TRUE(cpveql(cpSegmentShapeGetA(wld_southwalls[c]), cpv(40, 41)));
  EXPECT_TRUE(cpveql(cpSegmentShapeGetB(wld_southwalls[c]), cpv(41, 41)));
  EXPECT_EQ(basecosts[c], FLT_UNDF);
  EXPECT_EQ(basecostn[c + GRIDSZ], FLT_UNDF);
  EXPECT_EQ(wld_cellflags[c + GRIDSZ] & OPEN_N, 0);

  EXPECT_TRUE(wld_remove_east_wall(40, 40));
  EXPECT_TRUE(wld_remove_south_wall(40, 40));
  EXPECT_TRUE(east_open(40, 40));
  EXPECT_EQ(basecostw[c + 1], 1.0f);
  EXPECT_EQ(basecosts[c], 1.0f);
  EXPECT_EQ(wld_cellflags[c], OPEN_W | OPEN_E | OPEN_N | OPEN_S);
  EXPECT_FALSE(wld_remove_east_wall(40, 40));
  EXPECT_FALSE(wld_remove_south_wall(40, 40));
  EXPECT_EQ(space_count_shapes(), 758);
  expect_site_consistent();
}

TEST_F(WldWalls, RemovingACliffWallLeavesTheCliffClosedUntilRebuilt) {
  site_flat(5);
  const int c = site_cell(30, 30);
  wld_height[c + 1] = 9;
  site_build();
  ASSERT_NE(wld_eastwalls[c], nullptr);

  EXPECT_TRUE(wld_remove_east_wall(30, 30));
  EXPECT_EQ(basecoste[c], FLT_UNDF);
  EXPECT_EQ(basecostw[c + 1], FLT_UNDF);
  EXPECT_EQ(wld_cellflags[c] & OPEN_E, OPEN_E);
  EXPECT_EQ(wld_cellflags[c + 1] & OPEN_W, OPEN_W);

  EXPECT_EQ(wld_create_walls(), 1);
  expect_site_consistent();
}

TEST_F(WldWalls, EdgesOffTheGridOrWithoutASpaceAreRefused) {
  site_flat(5);
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  EXPECT_EQ(wld_add_east_wall(10, 10), 0);  // no space yet
  EXPECT_EQ(wld_create_walls(), 0);
  EXPECT_EQ(basecoste[site_cell(10, 10)], 1.0f);

  wld_create_space();
  EXPECT_EQ(wld_add_east_wall(127, 5), 0);
  EXPECT_EQ(wld_add_south_wall(5, 127), 0);
  EXPECT_EQ(wld_add_east_wall(-1, 5), 0);
  EXPECT_EQ(wld_add_south_wall(5, -1), 0);
  EXPECT_FALSE(wld_remove_east_wall(127, 127));
  EXPECT_EQ(wld_add_east_wall(126, 127), 1);  // between two border cells, still on the grid
  EXPECT_EQ(wld_add_south_wall(127, 126), 1);
  EXPECT_EQ(space_count_shapes(), 2);
}

TEST_F(WldWalls, BuildingMasksWallTheirOutlines) {
  site_flat(5);
  int before = site_build();

  int bakery = wld_walls_bakery(20, 20);
  EXPECT_GT(bakery, 0);
  EXPECT_FALSE(east_open(19, 20));  // mask 9 west of the centre
  EXPECT_TRUE(east_open(18, 20));   // mask 15
  EXPECT_FALSE(east_open(20, 20));  // mask 0: east and south walls
  EXPECT_NE(wld_southwalls[site_cell(20, 20)], nullptr);
  EXPECT_TRUE(east_open(21, 22));   // bottom row 11 keeps its east side...
  EXPECT_EQ(basecosts[site_cell(19, 22)], 1.0f);  // ...and its south side
  EXPECT_EQ(wld_walls_bakery(20, 20), 0);  // every edge already walled

  int taxc = wld_walls_taxc(40, 40);
  EXPECT_FALSE(east_open(40, 40));  // centre mask 4: east and south walls
  EXPECT_EQ(basecosts[site_cell(40, 40)], FLT_UNDF);
  EXPECT_TRUE(east_open(41, 38));   // mask 7 keeps its east side

  int hut = wld_walls_hut(60, 60);
  EXPECT_TRUE(east_open(60, 60));   // mask 15 in the centre
  EXPECT_EQ(wld_southwalls[site_cell(60, 60)], nullptr);
  EXPECT_NE(wld_southwalls[site_cell(59, 59)], nullptr);  // mask 7: south only
  EXPECT_TRUE(east_open(59, 59));
  EXPECT_FALSE(east_open(61, 61));  // mask 5: east and south
  EXPECT_NE(wld_southwalls[site_cell(61, 61)], nullptr);

  EXPECT_EQ(site_count(wld_eastwalls) + site_count(wld_southwalls), before + bakery + taxc + hut);
  EXPECT_EQ(space_count_shapes(), before + bakery + taxc + hut);
  expect_site_consistent();

  // Sites whose 5 by 5 cells leave the grid are refused whole.
  EXPECT_EQ(wld_walls_hut(1, 60), 0);
  EXPECT_EQ(wld_walls_taxc(60, 126), 0);
  EXPECT_EQ(wld_walls_bakery(126, 60), 0);
  EXPECT_EQ(space_count_shapes(), before + bakery + taxc + hut);
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
  wld_compute_cellflags();
  wld_create_space();
  basecoste[site_cell(60, 60)] = FLT_UNDF;
  EXPECT_DEATH(wld_create_walls(), "basecostw. i.1 . == FLT_UNDF");
  basecoste[site_cell(60, 60)] = 1.0f;
  basecosts[site_cell(60, 60)] = FLT_UNDF;
  EXPECT_DEATH(wld_create_walls(), "basecostn. i.GRIDSZ . == FLT_UNDF");
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
  EXPECT_TRUE(cpSpaceContainsBody(wld_space, b));
  EXPECT_TRUE(cpSpaceContainsShape(wld_space, s));
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
  EXPECT_EQ(space_count_bodies(), 0);
  ASSERT_TRUE(wld_add_body(0, 1, 1));
  cpBody* first = wld_bodies[0];
  EXPECT_FALSE(wld_add_body(0, 2, 2));
  EXPECT_EQ(wld_bodies[0], first);
  EXPECT_EQ(space_count_bodies(), 1);
}

TEST_F(WldBodies, RemovalAndExitFreeEverything) {
  site_flat(5);
  site_build();
  for (int i : {0, 5, CROWDSZ - 1}) ASSERT_TRUE(wld_add_body(i, 10.0f + i % 50, 10));
  EXPECT_EQ(wld_remove_bodies(), 3);
  EXPECT_EQ(space_count_bodies(), 0);
  EXPECT_EQ(space_count_shapes(), 758);
  for (int i = 0; i < CROWDSZ; i++) ASSERT_TRUE(!wld_bodies[i] && !wld_shapes[i]) << i;

  ASSERT_TRUE(wld_add_body(5, 20, 20));
  wld_exit();
  EXPECT_EQ(wld_space, nullptr);
  EXPECT_EQ(wld_bodies[5], nullptr);
  EXPECT_EQ(wld_shapes[5], nullptr);
  EXPECT_EQ(site_count(wld_eastwalls) + site_count(wld_southwalls), 0);
  wld_exit();  // a second teardown finds nothing to do
  EXPECT_EQ(wld_space, nullptr);
}

TEST_F(WldBodies, ANewSpaceReplacesTheOldOneWithItsWalls) {
  site_flat(5);
  site_build();
  ASSERT_TRUE(wld_add_body(0, 20, 20));
  EXPECT_EQ(site_build(), 758);  // no wall of the old space blocks the new ones
  EXPECT_NE(wld_space, nullptr);
  EXPECT_EQ(wld_bodies[0], nullptr);
  EXPECT_EQ(space_count_shapes(), 758);
}

}  // namespace
