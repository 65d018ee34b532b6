// New world, spawning with tools, the placement test, picking and dragging.
#include <gtest/gtest.h>

#include "bakeries.h"
#include "buckets.h"
#include "cats.h"
#include "food.h"
#include "grain.h"
#include "plates.h"
#include "sickles.h"
#include "stones.h"
#include "taxc.h"
#include "wld_place.h"
#include "wld_state.h"
#include "wld_update.h"
#include "wld_world.h"

static void expect_body_at(int i, float x, float y) {
  cpVect p = cpBodyGetPosition(wld_bodies[i]);
  EXPECT_NEAR(p.x, x, 1e-5) << "member " << i;
  EXPECT_NEAR(p.y, y, 1e-5) << "member " << i;
}

TEST_F(WorldRun, SpawnPointsCycleOverOfficesForWorkersAndCatsWithTools) {
  wld_add_taxc(20, 20);
  wld_add_taxc(40, 20);
  wld_add_taxc(60, 20);
  wld_spawnrr = 0;
  const int trades[] = {0, 1, 2, 3, 1};
  for (int k = 0; k < 5; k++) EXPECT_EQ(wld_spawn(trades[k]), k);
  expect_body_at(0, 20.5f, 20.3f);
  expect_body_at(1, 40.5f, 20.3f);
  expect_body_at(2, 60.5f - 0.11f, 20.3f - 0.6f);  // members 2 and 3 step aside
  expect_body_at(3, 20.5f + 0.11f, 20.3f - 0.5f);
  expect_body_at(4, 40.5f, 20.3f);
  EXPECT_EQ(crowd_goal[3], 7u);
  EXPECT_EQ(buckets_count, 2);
  EXPECT_EQ(buckets_nume, 2);
  EXPECT_EQ(buckets_carr[1], 4);
  EXPECT_EQ(sickles_carr[0], 2);
  EXPECT_EQ(plates_carr[0], 3);
  EXPECT_EQ(sickles_count + plates_count, 2);

  // A pending cat comes out of the next office, in the middle of its cell,
  // once the queues are empty; the timer stays.
  spawnqueues[3] = 1;
  wld_catspawn = 1;
  wld_spawntimer = 0.1f;
  EXPECT_FALSE(wld_update_spawning(0.05f));
  EXPECT_TRUE(wld_update_spawning(0.1f));  // the queue first
  EXPECT_NEAR(wld_spawntimer, -0.05f + 0.5f / 3, 1e-6);
  expect_body_at(5, 60.5f, 20.3f);
  wld_spawntimer = -1.0f;
  EXPECT_FALSE(wld_update_spawning(0.1f));
  EXPECT_EQ(wld_spawntimer, -1.0f);
  ASSERT_EQ(cats_count, 1);
  EXPECT_EQ(wld_catspawn, 0);
  EXPECT_FLOAT_EQ(cats_pos[0][0], 20.5f);
  EXPECT_FLOAT_EQ(cats_pos[0][1], 20.5f);
  EXPECT_FLOAT_EQ(cats_pos[0][2], 5 * 0.15f);
  EXPECT_NE(cats_body[0], nullptr);

  // Past the tool table's end the worker goes without; past the crowd's
  // end nobody is added.
  buckets_count = MAXBUCKETS;
  EXPECT_EQ(wld_spawn(1), 6);
  EXPECT_EQ(buckets_count, MAXBUCKETS);
  crowd_sz = CROWDSZ;
  EXPECT_EQ(wld_spawn(0), -1);
  EXPECT_EQ(crowd_sz, CROWDSZ);
  crowd_sz = 7;
}

TEST_F(WorldRun, NewWorldEmptiesEverythingButTheClock) {
  wld_add_taxc(20, 20);
  bakeries_add(30, 30);
  wld_walls_bakery(30, 30);
  for (int k = 0; k < 4; k++) wld_spawn(k);
  wld_worktime[1] = 50.0f;
  wld_age = 123.0;
  wld_spawnrr = 5;
  wld_numdead = wld_started = wld_gameover = wld_catspawn = 1;
  spawnqueues[2] = 4;
  wld_selected = wld_selectedcat = 0;
  taxc_silver = 7;
  wld_goalweight[100] = wld_potential[4][7] = 3.0f;
  const float at[3] = {30.5f, 30.5f, 0.75f};
  food_create_at_bakery(0, at), grain_drop_at_bakery(grain_assign(2), 0, at);

  wld_init();
  EXPECT_EQ(wld_age, 123.0);
  EXPECT_EQ(wld_spawnrr, 5);
  EXPECT_EQ(crowd_sz, 0);
  EXPECT_EQ(wld_worktime[1], 0.0f);
  EXPECT_EQ(wld_bodies[1], nullptr);
  EXPECT_EQ(wld_numdead + wld_started + wld_gameover + wld_catspawn + spawnqueues[2], 0);
  EXPECT_EQ(wld_spawntimer, 1.0f);
  EXPECT_EQ(wld_selected + wld_selectedcat, -2);
  EXPECT_EQ(wld_initialised, 1);
  EXPECT_EQ(taxc_silver, 200);
  EXPECT_EQ(taxc_count + bakeries_count + buckets_count + plates_count + sickles_count, 0);
  EXPECT_EQ(stones_numstocked, STONECNT);
  EXPECT_EQ(wld_goalweight[100], 0.0f);
  EXPECT_EQ(wld_potential[4][7], FLT_UNDF);
  EXPECT_EQ(food_count_in_use() + grain_count_in_use(), 0);
  EXPECT_EQ(food_trfs[0][12] + grain_trfs[0][13], 61.0f);
  // The bakery's walls went with the old space.
  EXPECT_EQ(site_walls(), 758);
  EXPECT_EQ(site_faults(), 0);
}

TEST_F(WorldRun, TaxOfficesAreRefusedPastSixteenOrOnATakenSite) {
  EXPECT_EQ(wld_add_taxc(20, 20), 0);
  int walls = site_walls();
  EXPECT_EQ(wld_add_taxc(22, 20), -1);
  EXPECT_EQ(site_walls(), walls);
  for (int k = 1; k < MAXTAXC; k++) ASSERT_EQ(wld_add_taxc(10 + 6 * (k % 8), 10 + 6 * (k / 8)), k);
  EXPECT_EQ(wld_add_taxc(100, 40), -1);
}

TEST_F(WorldRun, PlacementTest) {
  ctrl_footprint = 3;
  ctrl_placemargin = 1;  // bakery
  int top = -7;
  EXPECT_FALSE(wld_can_place(-1, 5, 1, &top));
  EXPECT_EQ(top, -7);
  EXPECT_TRUE(wld_can_place(20, 20, 1, &top));
  EXPECT_EQ(top, 5);
  EXPECT_FALSE(wld_can_place(1, 20, 1, &top));  // the ring leaves the grid

  wld_cellflags[grid_cidx(22, 22)] |= FOOD << 4;  // in the ring only
  EXPECT_FALSE(wld_can_place(20, 20, 1, &top));
  EXPECT_TRUE(wld_can_place(20, 20, 0, &top));

  wld_height[grid_cidx(31, 29)] = 7;
  EXPECT_FALSE(wld_can_place(30, 30, 1, &top));
  EXPECT_EQ(top, 7);
  ctrl_placemargin = 2;  // farm, hut
  EXPECT_TRUE(wld_can_place(30, 30, 1, &top));
  wld_height[grid_cidx(30, 30)] = 0;  // water at the centre
  EXPECT_FALSE(wld_can_place(30, 30, 1, &top));

  // Marks may be toggled on marks, never on the stock; buildings go on neither.
  EXPECT_FALSE(wld_can_place(40, 68, 0, &top));
  ctrl_footprint = 1;
  ctrl_placemargin = 1;
  EXPECT_TRUE(wld_can_place(40, 68, 0, &top));
  EXPECT_FALSE(wld_can_place(120, 120, 0, &top));
  ctrl_footprint = 3;
}

TEST_F(WorldRun, PickingPrefersTheNearerWithinRangeAndDraggingStaysOnTheGrid) {
  int w = member_at(0, 30, 30, 1);  // body at (30.5, 30.5)
  cats_add(31.3f, 30.5f, 0.75f);
  cats_create_bodies();
  EXPECT_TRUE(wld_pick(30.0f, 30.5f));  // worker 0.5, cat 1.3
  EXPECT_EQ(wld_selected, w);
  EXPECT_TRUE(wld_pick(31.0f, 30.5f));  // worker 0.5, cat 0.3
  EXPECT_EQ(wld_selectedcat, 0);
  EXPECT_EQ(world_count("playfx nm=meow x=31.000000 y=30.500000 z=0.000000"), 1);

  // The cat is dragged before the worker, and kept on the grid.
  EXPECT_TRUE(wld_drag_selected(200.0f, -100.0f));
  cpVect p = cpBodyGetPosition(cats_body[0]);
  EXPECT_EQ(p.x, 127.0);
  EXPECT_EQ(p.y, 0.0);

  cats_pos[0][0] = 32.3f;
  EXPECT_FALSE(wld_pick(31.4f, 30.5f));  // 0.9 from both
  EXPECT_EQ(wld_selected + wld_selectedcat, -2);
  EXPECT_FALSE(wld_drag_selected(1.0f, 1.0f));

  crowd_goal[w] = 11;  // resting inside a hut
  EXPECT_FALSE(wld_pick(30.5f, 30.5f));
  crowd_goal[w] = 1;
  EXPECT_TRUE(wld_pick(30.5f, 30.5f));
  EXPECT_TRUE(wld_drag_selected(-40.0f, 200.0f));
  p = cpBodyGetPosition(wld_bodies[w]);
  EXPECT_EQ(p.x, 0.0);
  EXPECT_EQ(p.y, 127.0);
}
