// Fatigue, death, stranded members and every arrival action with its refusals.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bakeries.h"
#include "buckets.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "plates.h"
#include "stones.h"
#include "taxc.h"
#include "wld_jobs.h"
#include "wld_update.h"
#include "wld_walls.h"
#include "wld_world.h"

// A farm at (20, 20), a bakery at (30, 20), a hut at (40, 10), a tax office
// at (50, 20) and a water edge at (10, 30).
class Jobs : public WorldRun {
 protected:
  void SetUp() override {
    WorldRun::SetUp();
    farm = farms_add(20, 20);
    bakery = bakeries_add(30, 20);
    hut = huts_add(40, 10);
    office = wld_add_taxc(50, 20);
    set_type(10, 30, WATR);
  }
  int farm, bakery, hut, office;

  static void set_type(int x, int y, int type) {
    uint8_t& f = wld_cellflags[grid_cidx(x, y)];
    f = (f & 15) | type << 4;
  }
  // The job pass with its log captured.
  static std::string jobs() {
    testing::internal::CaptureStdout();
    wld_run_jobs();
    return testing::internal::GetCapturedStdout();
  }
  // A servant in state 8 on cell (x, y) with a fresh food on its plate.
  int servant_with_food(int x, int y, int* food) {
    int i = member_at(3, x, y, 8);
    float pos[3] = {0, 0, 0};
    *food = food_create_at_bakery(bakery, pos);
    food_pick_up(*food, i);
    plates_set_full(i, 1);
    return i;
  }
};

static int mark_count(int x, int y) {
  for (int m = 0; m < nummarks; m++)
    if (stones_markcidx[m] == grid_cidx(x, y)) return stones_markcnt[m];
  return -1;
}

static void put_stone(int s, int x, int y) {
  stones_x[s] = x + 0.5f;
  stones_y[s] = y + 0.5f;
}

TEST(Fatigue, LimitsShrinkWithAgeDownToFloorsByIndex) {
  for (int i : {0, 5, 16, 1600}) crowd_time[i] = 0.0;
  EXPECT_EQ(wld_work_limit(0), 200.0f);
  EXPECT_EQ(wld_work_limit(5), 250.0f);
  EXPECT_EQ(wld_work_limit(16), 200.0f);
  EXPECT_EQ(wld_exhaust_limit(1600), 125.0f);
  for (int i : {0, 16, 1600}) crowd_time[i] = 1e5;
  EXPECT_EQ(wld_work_limit(0), 33.0f);
  EXPECT_EQ(wld_work_limit(16), 33.0f);
  EXPECT_EQ(wld_work_limit(1600), 49.0f);
  EXPECT_EQ(wld_exhaust_limit(16), 10.0f);
  EXPECT_EQ(wld_exhaust_limit(1600), 26.0f);
  for (int i : {0, 16, 1600}) crowd_time[i] = 0.0;
}

TEST_F(Jobs, WorkCountsOnTheWayToStockFarmGrainFoodAndHut) {
  const uint32_t states[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 11};
  for (uint32_t s : states) member_at(0, 60, 60, s);
  wld_update_fatigue(0.5);
  for (int i = 0; i < 10; i++) {
    bool counts = states[i] != 11 && (states[i] & 2) == 0;
    EXPECT_EQ(wld_worktime[i], counts ? 0.5f : 0.0f) << "state " << states[i];
    EXPECT_EQ(wld_exhausttime[i], states[i] == 9 ? 0.5f : 0.0f);
  }
}

TEST_F(Jobs, ExhaustedMembersDieLyingDownUnlessCheating) {
  int i = member_at(0, 60, 60, JOB_TIRED);
  const float upright[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 0.75f, 1};
  for (int k = 0; k < 16; k++) wld_trfs[i][k] = upright[k];
  wld_exhausttime[i] = 124.9f;
  sdlmain_cheat = 1;
  wld_update_fatigue(0.2);
  EXPECT_EQ(wld_numdead, 0);
  sdlmain_cheat = 0;
  wld_update_fatigue(0.01);
  EXPECT_EQ(crowd_goal[i], (uint32_t)JOB_DEAD);
  EXPECT_EQ(wld_numdead, 1);
  EXPECT_EQ(wld_emote[i], 2u);
  EXPECT_EQ(wld_bodies[i], nullptr);
  const float lying[16] = {1, 0, 0, 0, 0, 0, 1, 0, 0, -1, 0, 0, 10, 20.7f, 0.75f, 1};
  for (int k = 0; k < 16; k++) EXPECT_FLOAT_EQ(wld_trfs[i][k], lying[k]) << k;
  wld_update_fatigue(1000.0);  // the dead die once
  EXPECT_EQ(wld_numdead, 1);
}

TEST_F(Jobs, StrandedMembersReappearSomewhereUnlessSelected) {
  int i = member_at(0, 0, 40, 1);  // border cells are water
  wld_selected = member_at(0, 0, 41, 1);
  jobs();
  cpVect p = cpBodyGetPosition(wld_bodies[i]);
  EXPECT_FLOAT_EQ((float)p.x, crowd_posx[i]);
  EXPECT_FLOAT_EQ((float)p.y, crowd_posy[i]);
  EXPECT_TRUE(p.x >= 0.0 && p.x < 128.0 && p.y >= 0.0 && p.y < 128.0);
  EXPECT_EQ(cpBodyGetVelocity(wld_bodies[i]).x, 0.0);
  float x = crowd_posx[i];
  jobs();  // still on water until the next splat: moved again
  EXPECT_NE(crowd_posx[i], x);
  EXPECT_FLOAT_EQ(crowd_posx[wld_selected], 0.5f);
}

// A body pushed through a building's wall into a cell walled in all round
// comes out after the physics steps to the nearest cell it can walk from, at
// rest; the one the player holds stays.
TEST_F(Jobs, MembersPushedIntoAClosedBuildingCellComeOut) {
  wld_walls_bakery(30, 20);
  const struct {
    float x, y;
    int cx, cy;
  } cases[] = {
      {30.5f, 20.9f, 30, 21},  // the bakery's centre, from its food pick-up
      {29.5f, 19.5f, 29, 18},  // its north-west corner: out over the wall
      {50.5f, 21.9f, 50, 22},  // the tax office's south row
  };
  int held = member_at(3, 30, 20, 7);
  wld_selected = held;
  std::vector<int> pushed;
  for (const auto& c : cases) {
    pushed.push_back(member_at(3, 0, 0, 7));
    cpBodySetPosition(wld_bodies[pushed.back()], cpv(c.x, c.y));
    cpBodySetVelocity(wld_bodies[pushed.back()], cpv(0.0, -1.0));
  }
  wld_update_bodies(1);
  for (size_t k = 0; k < pushed.size(); k++) {
    const cpVect p = cpBodyGetPosition(wld_bodies[pushed[k]]);
    EXPECT_EQ(grid_cidx((int)p.x, (int)p.y), grid_cidx(cases[k].cx, cases[k].cy)) << k;
    EXPECT_EQ(crowd_posy[pushed[k]], (float)p.y) << k;
    EXPECT_EQ(cpBodyGetVelocity(wld_bodies[pushed[k]]).y, 0.0) << k;
  }
  const cpVect p = cpBodyGetPosition(wld_bodies[held]);
  EXPECT_EQ(grid_cidx((int)p.x, (int)p.y), grid_cidx(30, 20));
}

TEST_F(Jobs, BuildersTakeFromTheStockAndLayOnMarks) {
  int i = member_at(0, 120, 120, 1);
  int stocked = stones_numstocked;
  stones_numstocked = 0;  // empty stock: the builder waits
  jobs();
  EXPECT_EQ(crowd_goal[i], 1u);
  stones_numstocked = stocked;
  jobs();
  ASSERT_EQ(crowd_goal[i], 2u);
  int s = stones_numstocked;
  EXPECT_EQ(stones_stat[s], (uint32_t)i | STONE_CARRIED);
  EXPECT_EQ(world_count("playfx nm=stonepickup x=120.500000 y=120.500000"), 1);

  move_to(i, 40, 68);
  put_stone(s, 35, 68);  // slid off the mark: kept
  jobs();
  EXPECT_EQ(crowd_goal[i], 2u);
  EXPECT_EQ(stones_cidx[s], grid_cidx(35, 68));
  put_stone(s, 40, 68);
  jobs();
  EXPECT_EQ(crowd_goal[i], 1u);
  EXPECT_EQ(mark_count(40, 68), 1);
  EXPECT_EQ(world_count("playfx nm=stonedrop"), 1);
}

TEST_F(Jobs, TheNinthBlockRaisesItsCellAndTheCostsFollow) {
  int i = member_at(0, 41, 68, 2);
  for (int k = 0; k < 8; k++) stones_deposit(stones_take(1000), 42, 68, wld_height, nullptr);
  // Drawn a frame ago over the next mark: that mark is the one that rises.
  put_stone(stones_take(i), 42, 68);
  jobs();
  int c = grid_cidx(42, 68);
  EXPECT_EQ(wld_height[c], 8);
  EXPECT_EQ(mark_count(42, 68), -1);
  EXPECT_EQ(mark_count(41, 68), 0);
  for (float cost : {basecostw[c], basecoste[c], basecostn[c], basecosts[c]}) EXPECT_EQ(cost, 4.0f);
  EXPECT_EQ(site_faults(), 0);
}

TEST_F(Jobs, IrrigationWorkersCarryWaterAndTireOutEvenWhenCheating) {
  int i = member_at(1, 10, 30, 3);
  jobs();
  EXPECT_EQ(crowd_goal[i], 4u);
  EXPECT_EQ(buckets_full[0], 1);
  EXPECT_EQ(buckets_numf, 1);
  EXPECT_EQ(world_count("playfx nm=waterpickup"), 1);

  move_to(i, 19, 19);
  farms_watr[farm] = 20.0f;  // full: refused and closed, water kept
  jobs();
  EXPECT_EQ(crowd_goal[i], 4u);
  EXPECT_EQ(buckets_numf, 1);
  set_type(19, 19, FARM);
  farms_watr[farm] = 0.0f;
  sdlmain_cheat = 1;
  wld_worktime[i] = 201.0f;
  jobs();
  EXPECT_EQ(farms_watr[farm], 0.5f);
  EXPECT_EQ(buckets_nume, 1);
  EXPECT_EQ(buckets_numf, 0);
  EXPECT_EQ(world_count("playfx nm=waterdrop"), 1);
  EXPECT_EQ(crowd_goal[i], (uint32_t)JOB_TIRED);
  EXPECT_EQ(wld_worktime[i], 0.0f);
  EXPECT_EQ(wld_emote[i], 1u);
  EXPECT_EQ(world_count("missinghut"), 0);

  // At the rest entry: in, unless the hut is full.
  move_to(i, 40, 11);
  wld_exhausttime[i] = 5.0f;
  huts_occu[hut] = HUTS_MAXRESI;
  jobs();
  EXPECT_EQ(crowd_goal[i], (uint32_t)JOB_TIRED);
  huts_occu[hut] = 0;
  jobs();
  EXPECT_EQ(crowd_goal[i], (uint32_t)JOB_RESTING);
  EXPECT_EQ(huts_resi[hut][0], i);
  EXPECT_EQ(wld_exhausttime[i], 0.0f);
  EXPECT_EQ(wld_emote[i], 0u);

  // Without a bucket the walk goes on; without a hut the player is told.
  buckets_count = MAXBUCKETS;
  huts_count = 0;
  int j = member_at(1, 10, 30, 3);
  jobs();
  EXPECT_EQ(crowd_goal[j], 4u);
  move_to(j, 19, 19);
  wld_worktime[j] = 211.0f;  // member 1 lasts 210 s
  jobs();
  EXPECT_EQ(crowd_goal[j], (uint32_t)JOB_TIRED);
  EXPECT_EQ(world_count("missinghut"), 1);
}

TEST_F(Jobs, FieldWorkersHarvestRipeGrainAndDropItAtBakeries) {
  int i = member_at(2, 21, 20, 5);
  jobs();
  EXPECT_EQ(crowd_goal[i], 5u);  // nothing ripe
  farms_size[farm][0] = 1.0f;
  jobs();
  EXPECT_EQ(crowd_goal[i], 6u);
  int g = grain_find_carried(i);
  ASSERT_GE(g, 0);
  EXPECT_EQ(world_count("playfx nm=grainpickup"), 1);

  move_to(i, 29, 21);
  bakeries_grai[bakery] = BAKERY_GRAIN;  // full: counted, grain kept
  jobs();
  EXPECT_EQ(crowd_goal[i], 6u);
  EXPECT_EQ(bakeries_full[bakery], 1);
  bakeries_grai[bakery] = 0;
  jobs();
  EXPECT_EQ(crowd_goal[i], 5u);
  EXPECT_EQ(bakeries_grai[bakery], 1);
  EXPECT_EQ(grain_carr[g], -1);
  EXPECT_EQ(grain_bkry[g], bakery);
  EXPECT_EQ(grain_trfs[g][1], -1.0f);
  EXPECT_FLOAT_EQ(grain_trfs[g][12], bakeries_trfs[bakery][12] - 1.0f);
  EXPECT_EQ(world_count("playfx nm=graindrop"), 1);

  // An exhausted grain pool: the worker walks empty-handed and drops nothing.
  for (int k = 0; k < MAXGRAIN; k++) grain_assign(3999);
  move_to(i, 21, 20);
  farms_size[farm][1] = 1.0f;
  EXPECT_NE(jobs().find("ERR grain_assign( 0 ) failed."), std::string::npos);
  EXPECT_EQ(crowd_goal[i], 6u);
  move_to(i, 29, 20);
  EXPECT_NE(jobs().find("ERR "), std::string::npos);
  EXPECT_EQ(crowd_goal[i], 5u);
  EXPECT_EQ(bakeries_grai[bakery], 1);
}

TEST_F(Jobs, ServantsTakeFoodAtBakeriesEvenAnEmptyPlace) {
  int i = member_at(3, 30, 21, 7);
  jobs();
  EXPECT_EQ(crowd_goal[i], 7u);  // no food yet
  EXPECT_EQ(bakeries_empt[bakery], 1);
  float pos[3] = {30.5f, 21.6f, 0.75f};
  int f = food_create_at_bakery(bakery, pos);
  bakeries_fids[bakery][0] = -1;  // baked while the food pool was full
  bakeries_fids[bakery][1] = f;
  bakeries_food[bakery] = 2;
  jobs();
  EXPECT_EQ(crowd_goal[i], 8u);
  EXPECT_EQ(food_carr[f], i);
  EXPECT_EQ(plates_numf, 1);
  EXPECT_EQ(mtbe_count(bakeries_mtbp[bakery]), 1);
  EXPECT_EQ(world_count("playfx nm=foodpickup"), 1);

  int j = member_at(3, 31, 21, 7);
  jobs();
  EXPECT_EQ(crowd_goal[j], 8u);
  EXPECT_EQ(bakeries_food[bakery], 0);
  EXPECT_EQ(food_find_carried(j), -1);
  EXPECT_EQ(plates_full[1], 0);
}

TEST_F(Jobs, FoodGoesToAHutOrAnOfficeThatIsFree) {
  int f, g;
  int i = servant_with_food(40, 10, &f);
  int j = servant_with_food(50, 20, &g);
  huts_fdid[hut] = taxc_fdid[office] = 999;
  jobs();
  EXPECT_EQ(crowd_goal[i], 8u);
  EXPECT_EQ(crowd_goal[j], 8u);
  huts_fdid[hut] = taxc_fdid[office] = -1;
  jobs();
  EXPECT_EQ(crowd_goal[i], 7u);
  EXPECT_EQ(crowd_goal[j], 7u);
  EXPECT_EQ(huts_fdid[hut], f);
  EXPECT_EQ(food_huts[f], hut);
  EXPECT_EQ(food_taxc[f], -1);
  EXPECT_EQ(taxc_fdid[office], g);
  EXPECT_EQ(taxc_food[office], TAXC_STEPS);
  EXPECT_EQ(food_taxc[g], office);
  EXPECT_EQ(food_huts[g], -1);
  EXPECT_FLOAT_EQ(food_trfs[g][13], 20.5f - 0.9f);
  EXPECT_FLOAT_EQ(food_trfs[g][14], 5 * 0.15f + 0.1f);
  EXPECT_EQ(food_carr[f] + food_carr[g], -2);
  EXPECT_EQ(plates_numf, 0);
  EXPECT_EQ(plates_nume, 2);
  EXPECT_EQ(world_count("playfx nm=fooddrop"), 2);
}

TEST_F(Jobs, NoFoodIsDeliveredThatIsNotCarried) {
  int i = member_at(3, 50, 20, 8);  // took an empty place at the bakery
  EXPECT_NE(jobs().find("ERR "), std::string::npos);
  EXPECT_EQ(crowd_goal[i], 7u);
  EXPECT_EQ(taxc_fdid[office], -1);
  EXPECT_EQ(world_count("playfx nm=fooddrop"), 0);

  // Past the plate table's end: the food arrives, the plates stay true.
  plates_count = MAXPLATES;
  int f;
  int j = servant_with_food(50, 20, &f);
  EXPECT_NE(jobs().find("ERR Failed to set plate of carrier"), std::string::npos);
  EXPECT_EQ(crowd_goal[j], 7u);
  EXPECT_EQ(taxc_fdid[office], f);
  EXPECT_EQ(plates_numf, 0);
  EXPECT_EQ(plates_nume, 1);
}
