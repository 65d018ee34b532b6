#include <gtest/gtest.h>

#include <string>

#include "building_site.h"
#include "farms.h"

namespace {

// The footprint cells of the farm centred on (x, y), in plant order.
std::vector<int> water(int x, int y) {
  return {grid_cidx(x - 1, y - 1), grid_cidx(x, y - 1), grid_cidx(x + 1, y - 1),
          grid_cidx(x - 1, y)};
}
std::vector<int> grain(int x, int y) {
  return {grid_cidx(x + 1, y), grid_cidx(x - 1, y + 1), grid_cidx(x, y + 1),
          grid_cidx(x + 1, y + 1)};
}

struct FarmsTest : BuildingTest {
  void SetUp() override {
    site(10, 0x0f, 100.0);
    for (int c = 0; c < GRIDCELLS; c++) basecostw[c] = 1.5f;
  }
  static void step(int n = 1) { steps(n, farms_update); }
  static std::string save_text() { return section_save(farms_serialize); }
};

TEST_F(FarmsTest, NewFarmRaisesItsPlotAndStampsWaterAndGrainCells) {
  // What a refused load may leave behind in a free slot.
  farms_watr[0] = 3.0f;
  farms_size[0][4] = 0.5f;
  farms_prod[0] = farms_cons[0] = farms_blck[0] = 2;
  wld_cellflags[grid_cidx(20, 30)] = (STCK << 4) | 0x05;
  ASSERT_EQ(farms_add(20, 30), 0);
  EXPECT_EQ(farms_count, 1);
  EXPECT_EQ(farms_cidx[0], grid_cidx(20, 30));
  EXPECT_EQ(farms_watr[0] + farms_prod[0] + farms_cons[0] + farms_blck[0], 0.0f);
  EXPECT_TRUE(farms_mtbw[0] == 0 && farms_mtbh[0] == 1 && farms_mtbb[0] == 2);
  EXPECT_EQ(type_at(20, 30), STCK) << "the centre keeps its type";
  expect_types(water(20, 30), FARM);
  expect_types(grain(20, 30), GRAI);
  for (int k = 0; k < FARM_PLANTS; k++) {
    int c = grid_cidx(19 + k % 3, 29 + k / 3);
    EXPECT_EQ(farms_size[0][k], 0.0f);
    EXPECT_EQ(wld_height[c], 11);
    EXPECT_EQ(basecostw[c], k % 3 ? 1.0f : 2.0f) << "the costs follow the plot";
    EXPECT_FLOAT_EQ(farms_trfs[0][k][12], 19.5f + k % 3);
    EXPECT_FLOAT_EQ(farms_trfs[0][k][13], 29.5f + k / 3);
    EXPECT_FLOAT_EQ(farms_trfs[0][k][14], 11 * 0.15f);
    EXPECT_EQ(farms_trfs[0][k][10], 0.0f);
  }
  EXPECT_EQ(wld_height[grid_cidx(18, 30)] + wld_height[grid_cidx(20, 32)], 20)
      << "only the plot is raised";
  wld_height[grid_cidx(40, 40)] = 255;
  farms_add(40, 41);
  EXPECT_EQ(wld_height[grid_cidx(40, 40)], 255) << "the highest step stays";

  EXPECT_FLOAT_EQ(farms_water_need(0), 9.0f);
  step();
  EXPECT_FLOAT_EQ(weight(water(20, 30)), 18.0f);
  EXPECT_FLOAT_EQ(weight(grain(20, 30)), 0.0f);
}

TEST_F(FarmsTest, PlotsOffTheGridOrBeyondTheTableAreRefused) {
  uint8_t before = wld_height[grid_cidx(0, 5)];
  testing::internal::CaptureStdout();
  EXPECT_EQ(farms_add(0, 5), -1);
  EXPECT_EQ(farms_add(5, 127), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u);
  EXPECT_EQ(farms_count, 0);
  EXPECT_EQ(wld_height[grid_cidx(0, 5)], before);
  EXPECT_EQ(type_at(grid_cidx(127, 4)), 0) << "no wrap onto the row above";

  testing::internal::CaptureStdout();  // the track table runs out on the way
  for (int i = 0; i < MAXFARMS; i++) farms_add(1 + i % 42 * 3, 1 + i / 42 * 3);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(farms_count, MAXFARMS);
  testing::internal::CaptureStdout();
  EXPECT_EQ(farms_add(64, 64), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u);
  EXPECT_EQ(farms_count, MAXFARMS);
}

TEST_F(FarmsTest, OverlappingFootprintsFindTheLowerIndex) {
  farms_add(20, 20);
  farms_add(22, 20);
  EXPECT_EQ(farms_find_at(grid_cidx(21, 21)), 0);
  EXPECT_EQ(farms_find_at(grid_cidx(19, 19)), 0);
  EXPECT_EQ(farms_find_at(grid_cidx(23, 21)), 1);
  for (int c :
       {grid_cidx(18, 20), grid_cidx(22, 22), grid_cidx(20, 18), grid_cidx(24, 19), -1, GRIDCELLS})
    EXPECT_EQ(farms_find_at(c), -1) << c;
}

TEST_F(FarmsTest, WaterIsTakenBelowTwentyThenTheWaterCellsCloseUntilGrowthUsesItBelowNine) {
  farms_add(20, 30);
  int drop = grid_cidx(19, 29);
  farms_watr[0] = 19.9f;
  EXPECT_EQ(farms_deliver_water(drop), 0);
  EXPECT_FLOAT_EQ(farms_watr[0], 20.4f);
  EXPECT_EQ(farms_deliver_water(grid_cidx(20, 29)), -1);
  EXPECT_FLOAT_EQ(farms_watr[0], 20.4f);
  EXPECT_EQ(mtbe_count(farms_mtbw[0]), 2) << "the refused arrival is counted";
  expect_types(water(20, 30), BLDG);

  step();  // growing with plenty of water keeps them closed
  expect_types(water(20, 30), BLDG);
  farms_watr[0] = 9.0005f;
  step();
  expect_types(water(20, 30), BLDG);
  step();  // 0.0003 per step takes it below 9
  expect_types(water(20, 30), FARM);
  EXPECT_LT(farms_watr[0], 9.0f);

  farms_watr[0] = 20.0f;
  EXPECT_EQ(farms_deliver_water(drop), -1);
  expect_types(water(20, 30), BLDG);
  EXPECT_EQ(mtbe_count(farms_mtbw[0]), 3);
}

TEST_F(FarmsTest, WaterAtTheWrongCellIsRefused) {
  farms_add(20, 30);
  testing::internal::CaptureStdout();
  EXPECT_EQ(farms_deliver_water(grid_cidx(30, 30)), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no farm there: no log line";
  testing::internal::CaptureStdout();
  EXPECT_EQ(farms_deliver_water(grid_cidx(21, 30)), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "farm nr 0 at cidx " +
                                                        std::to_string(grid_cidx(21, 30)) +
                                                        " is not a FARM goal. Goal = 5.\n");
  EXPECT_EQ(farms_watr[0], 0.0f);
  EXPECT_EQ(mtbe_count(farms_mtbw[0]), 0);
}

TEST_F(FarmsTest, APlantRipensInAboutFourSecondsOnThreeTenthsOfWater) {
  farms_add(20, 30);
  step(10);
  EXPECT_EQ(farms_size[0][0], 0.0f) << "no water, no growth";
  farms_watr[0] = 5.0f;
  int steps = 0;
  while (farms_prod[0] == 0 && steps < 2000) {
    step();
    steps++;
  }
  EXPECT_NEAR(steps, 1000, 2);
  EXPECT_GE(farms_size[0][0], 1.0f);
  EXPECT_EQ(farms_size[0][1], 0.0f);
  EXPECT_NEAR(farms_watr[0], 4.7f, 0.001f);
  EXPECT_EQ(farms_count_ripe(0), 1);
  EXPECT_EQ(farms_total_water(), 9);
  EXPECT_EQ(farms_count_watered(), 1);
}

TEST_F(FarmsTest, HarvestTakesTheOldestRipePlantOrCountsTheRefusal) {
  farms_add(20, 30);
  int pick = grid_cidx(21, 31);
  EXPECT_EQ(farms_harvest(pick), -1);
  EXPECT_EQ(farms_harvest(pick), -1);
  EXPECT_EQ(farms_blck[0], 2);

  for (int k = 0; k < 3; k++) farms_size[0][k] = 1.0f;
  farms_size[0][3] = 0.5f;
  farms_prod[0] = 3;
  EXPECT_EQ(farms_harvest(pick), 0);
  EXPECT_EQ(farms_size[0][0], 0.0f);
  EXPECT_EQ(farms_cons[0], 1);
  EXPECT_EQ(farms_blck[0], 2);
  EXPECT_EQ(mtbe_count(farms_mtbh[0]), 1);
  EXPECT_EQ(farms_harvest(pick), 0);
  EXPECT_EQ(farms_harvest(pick), 0);
  EXPECT_EQ(farms_cons[0], 3);
  EXPECT_EQ(farms_harvest(pick), -1) << "the growing plant is not ripe";

  farms_cons[0] = 8;
  farms_size[0][8] = 1.0f;
  EXPECT_EQ(farms_harvest(pick), 0);
  EXPECT_EQ(farms_cons[0], 0) << "the cursor wraps";

  testing::internal::CaptureStdout();
  EXPECT_EQ(farms_harvest(grid_cidx(40, 40)), -1);
  EXPECT_EQ(farms_harvest(grid_cidx(19, 29)), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "No farm found at cidx " + std::to_string(grid_cidx(40, 40)) + "\nfarm nr 0 at cidx " +
                std::to_string(grid_cidx(19, 29)) + " is not a GRAI goal. Goal = 4.\n");
}

TEST_F(FarmsTest, NineRipePlantsStopDrinkingAndTheFirstHarvestRestartsTheSamePlant) {
  farms_add(20, 30);
  for (int k = 0; k < FARM_PLANTS; k++) farms_size[0][k] = 1.0f;
  farms_prod[0] = farms_cons[0] = 4;
  farms_watr[0] = 3.0f;
  step(50);
  EXPECT_EQ(farms_watr[0], 3.0f);
  EXPECT_FLOAT_EQ(weight(grain(20, 30)), 18.0f);
  EXPECT_FLOAT_EQ(weight(water(20, 30)), -6.0f);

  EXPECT_EQ(farms_harvest(grid_cidx(21, 30)), 0);
  EXPECT_EQ(farms_cons[0], 5);
  step();
  EXPECT_EQ(farms_prod[0], 4);
  EXPECT_GT(farms_size[0][4], 0.0f);
  EXPECT_LT(farms_size[0][4], 0.01f);
  EXPECT_LT(farms_watr[0], 3.0f);
}

TEST_F(FarmsTest, FastRefusedHarvestsCloseTheGrainCellsUnlessMoreThanThreeAreRipe) {
  farms_add(20, 30);
  int pick = grid_cidx(20, 31);
  for (int i = 0; i < 3; i++) farms_harvest(pick);
  step();
  expect_types(grain(20, 30), GRAI);  // three refusals are not enough
  for (int i = 0; i < 4; i++) farms_harvest(pick);
  step();
  expect_types(grain(20, 30), BLDG);
  EXPECT_EQ(farms_blck[0], 0);
  EXPECT_EQ(mtbe_count(farms_mtbb[0]), 2) << "one event per update that saw refusals";

  for (int k = 0; k < 3; k++) farms_size[0][k] = 1.0f;
  farms_prod[0] = 3;
  farms_blck[0] = 4;
  step();
  expect_types(grain(20, 30), BLDG);  // three ripe do not reopen
  farms_size[0][3] = 1.0f;
  farms_prod[0] = 4;
  farms_blck[0] = 4;
  step();
  expect_types(grain(20, 30), GRAI);  // more than three ripe wins
}

TEST_F(FarmsTest, RefusalUpdatesFarApartLeaveTheGrainCellsOpen) {
  farms_add(20, 30);
  for (int i = 0; i < 3; i++) {
    wld_age += 0.05 - STEP;  // means of 0.025 s and more
    farms_blck[0] = 5;
    step();
    expect_types(grain(20, 30), GRAI);
  }

  wld_age += 10.0;  // a long quiet spell
  farms_blck[0] = 6;
  step();
  expect_types(grain(20, 30), GRAI);
}

TEST_F(FarmsTest, APlantRipeningInTheUpdateCountsInItsGrainWeight) {
  farms_add(20, 30);
  farms_size[0][0] = 0.9995f;
  farms_watr[0] = 1.0f;
  step();
  EXPECT_EQ(farms_prod[0], 1);
  EXPECT_FLOAT_EQ(weight(grain(20, 30)), 2.0f);
}

TEST_F(FarmsTest, RecentArrivalsAndHarvestsLowerTheWeights) {
  farms_add(20, 30);
  wld_age = 101.0;
  farms_deliver_water(grid_cidx(19, 30));
  wld_age = 102.0;
  farms_deliver_water(grid_cidx(19, 30));
  wld_age = 103.0 - STEP;
  step();  // rate 2 events over 2 s
  float need = farms_water_need(0);
  EXPECT_NEAR(need, 9.0f - 1.0f, 0.002f);
  EXPECT_NEAR(weight(water(20, 30)), 2.0f * need - 100.0f, 1e-3f);

  farms_size[0][0] = farms_size[0][1] = 1.0f;
  farms_prod[0] = 2;
  wld_age = 104.0;
  farms_harvest(grid_cidx(21, 30));
  farms_harvest(grid_cidx(21, 30));
  farms_harvest(grid_cidx(21, 30));  // nothing left to take
  wld_age = 105.0 - STEP;
  step();  // harvests: 2 over 1 s; refusal update: 1, span 0 -> 1 s
  EXPECT_FLOAT_EQ(weight(grain(20, 30)), 0.0f - (80.0f * 2.0f + 1.0f));
}

TEST_F(FarmsTest, WaterCountersOverAllFarms) {
  farms_add(20, 20);
  farms_add(30, 20);
  farms_add(40, 20);
  farms_watr[0] = 1.3f;
  farms_watr[1] = 0.0f;
  farms_watr[2] = -0.0001f;  // growth may leave it just below 0
  EXPECT_EQ(farms_total_water(), 2) << "truncated";
  EXPECT_EQ(farms_count_watered(), 1);
  farms_watr[1] = 3.0f;
  EXPECT_EQ(farms_total_water(), 8);
  EXPECT_EQ(farms_count_watered(), 2);
}

TEST_F(FarmsTest, AFarmWithoutTracksStillWorks) {
  while (mtbe_numtracks < MAXTRACKS - 2) mtbe_create(64, 0.0f);
  testing::internal::CaptureStdout();
  ASSERT_EQ(farms_add(20, 30), 0);
  ASSERT_EQ(farms_add(30, 30), 1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(farms_mtbh[0], MAXTRACKS - 1);
  EXPECT_EQ(farms_mtbb[0], -1);
  EXPECT_EQ(farms_mtbw[1], -1);

  EXPECT_EQ(farms_deliver_water(grid_cidx(29, 29)), 1);
  farms_size[1][0] = 1.0f;
  farms_prod[1] = 1;
  EXPECT_EQ(farms_harvest(grid_cidx(31, 30)), 1);
  for (int i = 0; i < 8; i++) farms_harvest(grid_cidx(21, 30));
  step();
  expect_types(grain(20, 30), GRAI);  // no refusal track: no evidence to close
  EXPECT_NEAR(weight(water(30, 30)), 2.0f * farms_water_need(1), 1e-5f) << "rates read 0";
  EXPECT_FLOAT_EQ(weight(grain(30, 30)), 0.0f);
  EXPECT_FLOAT_EQ(weight(water(20, 30)), 18.0f);
}

TEST_F(FarmsTest, SaveWritesTheSectionAndLoadRestoresIt) {
  farms_add(20, 30);
  farms_add(26, 31);
  farms_watr[1] = 3.5f;
  farms_size[1][2] = 0.25f;
  farms_prod[1] = 2;
  farms_cons[1] = 7;
  farms_blck[1] = 3;
  farms_trfs[1][8][10] = 6.5f;
  std::string text = save_text();
  EXPECT_EQ(
      text.rfind(
          "farms_count 2\nfarms_cidx\n3860\n3994\nfarms_watr\n0.000000\n3.500000\nfarms_size\n"
          "0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 0.000000 \n",
          0),
      0u)
      << text;
  EXPECT_NE(text.find("\nfarms_prod\n0\n2\nfarms_cons\n0\n7\nfarms_blck\n0\n3\nfarms_mtbw\n0\n3\n"
                      "farms_mtbh\n1\n4\nfarms_mtbb\n2\n5\nfarms_trfs\n1.000000 0.000000 "),
            std::string::npos);

  farms_reset();
  ASSERT_TRUE(section_load(farms_serialize, text));
  EXPECT_EQ(farms_count, 2);
  EXPECT_EQ(farms_trfs[1][8][10], 6.5f);
  EXPECT_EQ(save_text(), text);

  farms_reset();
  std::string empty = save_text();
  EXPECT_EQ(
      empty,
      "farms_count 0\nfarms_cidx\nfarms_watr\nfarms_size\nfarms_prod\nfarms_cons\nfarms_blck\n"
      "farms_mtbw\nfarms_mtbh\nfarms_mtbb\nfarms_trfs\n");
  farms_add(20, 30);
  ASSERT_TRUE(section_load(farms_serialize, empty));
  EXPECT_EQ(farms_count, 0);
}

TEST_F(FarmsTest, DamagedSectionsAreRefusedAndLeaveNoFarm) {
  farms_add(20, 30);
  farms_add(26, 31);
  const std::string good = save_text();
  auto damaged = building_damages(good, "farms", "mtbh",
                                  {{"farms_prod\n0", "farms_prod\n9"},
                                   {"farms_cons\n0", "farms_cons\n-1"},
                                   {"farms_watr\n0.000000", "farms_watr\nnan"}});
  section_expect_refused(farms_serialize, damaged, &farms_count, good);
  EXPECT_EQ(farms_count, 2);
}

}  // namespace
