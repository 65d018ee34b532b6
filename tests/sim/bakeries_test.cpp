#include <gtest/gtest.h>

#include <string>

#include "bakeries.h"
#include "building_site.h"
#include "food.h"
#include "grain.h"

namespace {

// The bakery at (40, 40): grain cells west, food cells south.
const std::vector<int> grain_cells = {grid_cidx(39, 40), grid_cidx(39, 41)};
const std::vector<int> food_cells = {grid_cidx(40, 41), grid_cidx(41, 41)};

struct BakeriesTest : BuildingTest {
  void SetUp() override { site(10, 0x0f, 50.0); }
  static void step(int n = 1) { steps(n, bakeries_update); }
  // A field worker's grain, carried and then dropped at bakery b.
  static int drop(int b) {
    int g = grain_assign(7);
    float pos[3];
    EXPECT_EQ(bakeries_drop_grain(g, pos, b), b);
    grain_drop_at_bakery(g, b, pos);
    return g;
  }
  static std::string save_text() { return section_save(bakeries_serialize); }
};

TEST_F(BakeriesTest, NewBakeryHoldsNothingAndOpensBothPairs) {
  // What a refused load may leave behind in a free slot.
  bakeries_grai[0] = 5;
  bakeries_food[0] = 3;
  bakeries_bake[0] = 0.5f;
  bakeries_full[0] = bakeries_empt[0] = 4;
  ASSERT_EQ(bakeries_add(40, 40), 0);
  EXPECT_EQ(bakeries_count, 1);
  EXPECT_EQ(bakeries_cidx[0], grid_cidx(40, 40));
  EXPECT_EQ(bakeries_grai[0] + bakeries_food[0] + bakeries_full[0] + bakeries_empt[0], 0);
  EXPECT_EQ(bakeries_bake[0], 0.0f);
  EXPECT_TRUE(bakeries_mtbd[0] == 0 && bakeries_mtbe[0] == 3);
  EXPECT_FLOAT_EQ(bakeries_trfs[0][12], 40.5f);
  EXPECT_FLOAT_EQ(bakeries_trfs[0][13], 40.5f);
  EXPECT_FLOAT_EQ(bakeries_trfs[0][14], 1.5f);
  expect_types(grain_cells, BAKG);
  expect_types(food_cells, BAKF);
  expect_types({grid_cidx(39, 39), grid_cidx(40, 39), grid_cidx(41, 39), grid_cidx(40, 40),
                grid_cidx(41, 40)},
               BLDG);
  wld_goalweight[grain_cells[0]] = wld_goalweight[food_cells[1]] = 5.0f;
  step();
  EXPECT_EQ(weight(grain_cells), 0.0f);
  EXPECT_EQ(weight(food_cells), 0.0f);
  expect_types(grain_cells, BAKG);
  expect_types(food_cells, BAKF);
}

TEST_F(BakeriesTest, ASiteWithAnyTypedCellInItsFiveByFiveAreaIsRefused) {
  ASSERT_EQ(bakeries_add(40, 40), 0);
  uint8_t before[GRIDCELLS];
  memcpy(before, wld_cellflags, sizeof before);
  testing::internal::CaptureStdout();
  EXPECT_EQ(bakeries_add(43, 40), -1);  // its area reaches the bakery's east column
  EXPECT_EQ(bakeries_add(0, 40), -1);   // the plot would leave the grid
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(memcmp(before, wld_cellflags, sizeof before), 0);
  EXPECT_EQ(bakeries_count, 1);
  EXPECT_EQ(mtbe_numtracks, 4);
  EXPECT_EQ(bakeries_add(44, 40), 1);
}

TEST_F(BakeriesTest, GrainIsStackedSixAlongAndSixHigh) {
  bakeries_add(40, 40);
  float pos[3];
  for (int n = 0; n < 7; n++) ASSERT_EQ(bakeries_drop_grain(100 + n, pos, 0), 0);
  EXPECT_FLOAT_EQ(pos[0], 39.5f);
  EXPECT_FLOAT_EQ(pos[1], 40.3f);
  EXPECT_FLOAT_EQ(pos[2], 1.5f + 0.1f + 0.28f);
  EXPECT_EQ(bakeries_grai[0], 7);
  EXPECT_EQ(bakeries_gids[0][6], 106);
  EXPECT_EQ(mtbe_count(bakeries_mtbd[0]), 7);
  for (int n = 7; n < 36; n++) bakeries_drop_grain(100 + n, pos, 0);
  EXPECT_FLOAT_EQ(pos[1], 40.3f + 5 * 0.27f);
  EXPECT_FLOAT_EQ(pos[2], 1.6f + 5 * 0.28f);

  testing::internal::CaptureStdout();
  EXPECT_EQ(bakeries_drop_grain(200, pos, 0), -1) << "the 37th has no place";
  EXPECT_EQ(bakeries_drop_grain(200, pos, 1), -1) << "no such bakery";
  EXPECT_EQ(bakeries_drop_grain(-1, pos, 0), -1) << "no grain item";
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(log.rfind("ERR ", 0), 0u);
  EXPECT_EQ(bakeries_grai[0], 36);
  EXPECT_EQ(mtbe_count(bakeries_mtbd[0]), 36);
}

TEST_F(BakeriesTest, TwoGrainBakeIntoOneFoodInFiveSeconds) {
  bakeries_add(40, 40);
  int g0 = drop(0), g1 = drop(0);
  ASSERT_EQ(g0, 0);  // pool slot 0 must be freed like any other
  step(1195);
  EXPECT_EQ(bakeries_food[0], 0);
  EXPECT_EQ(bakeries_grai[0], 2);
  step(10);
  EXPECT_EQ(bakeries_food[0], 1);
  EXPECT_EQ(bakeries_grai[0], 0);
  EXPECT_LT(bakeries_bake[0], 0.01f);
  for (int g : {g0, g1}) {
    EXPECT_EQ(grain_carr[g], -1);
    EXPECT_EQ(grain_bkry[g], -1);
  }
  EXPECT_EQ(grain_count_in_use(), 0);
  int food = bakeries_fids[0][0];
  ASSERT_GE(food, 0);
  EXPECT_EQ(food_bkry[food], 0);
  EXPECT_FLOAT_EQ(food_trfs[food][12], 40.5f);
  EXPECT_FLOAT_EQ(food_trfs[food][13], 41.6f);
  EXPECT_FLOAT_EQ(food_trfs[food][14], 1.5f);
}

TEST_F(BakeriesTest, BakingPausesWithOneGrainAndKeepsItsProgress) {
  bakeries_add(40, 40);
  int first = drop(0);
  drop(0);
  int last = drop(0);
  step(1210);
  EXPECT_EQ(bakeries_food[0], 1);
  ASSERT_EQ(bakeries_grai[0], 1);
  EXPECT_EQ(bakeries_gids[0][0], first) << "the last two dropped are baked";
  EXPECT_EQ(grain_bkry[first], 0);
  EXPECT_EQ(grain_bkry[last], -1);
  bakeries_bake[0] = 0.4f;
  step(500);
  EXPECT_EQ(bakeries_bake[0], 0.4f);
  drop(0);
  step(715);
  EXPECT_EQ(bakeries_food[0], 1);
  step(10);  // the remaining 0.6 took 720 steps
  EXPECT_EQ(bakeries_food[0], 2);
  EXPECT_FLOAT_EQ(food_trfs[bakeries_fids[0][1]][12], 41.0f);
}

TEST_F(BakeriesTest, TheNineteenthFoodIsNeverBaked) {
  bakeries_add(40, 40);
  float pos[3];
  for (int n = 0; n < 4; n++) bakeries_drop_grain(n, pos, 0);
  bakeries_food[0] = 18;
  bakeries_bake[0] = 0.3f;
  step(2000);
  EXPECT_EQ(bakeries_food[0], 18);
  EXPECT_EQ(bakeries_grai[0], 4);
  EXPECT_EQ(bakeries_bake[0], 0.3f);
  EXPECT_EQ(food_count_in_use(), 0);

  bakeries_food[0] = 17;  // one taken: baking resumes where it stood
  step(845);
  EXPECT_EQ(bakeries_food[0], 18);
  EXPECT_EQ(bakeries_grai[0], 2);
  EXPECT_FLOAT_EQ(food_trfs[bakeries_fids[0][17]][14], 1.5f + 5 * 0.175f);
}

TEST_F(BakeriesTest, ABakeWithTheFoodPoolFullCountsFoodWithoutAnItem) {
  bakeries_add(40, 40);
  float pos[3] = {0, 0, 0};
  for (int i = 0; i < MAXFOOD; i++) ASSERT_EQ(food_create_at_bakery(5, pos), i);
  drop(0);
  drop(0);
  testing::internal::CaptureStdout();
  step(1205);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERR Could not assign a food to bakery 0\n");
  EXPECT_EQ(bakeries_food[0], 1);
  EXPECT_EQ(bakeries_fids[0][0], -1);
  EXPECT_EQ(bakeries_grai[0], 0);
  EXPECT_EQ(grain_count_in_use(), 0);
}

TEST_F(BakeriesTest, RefusedDropsCloseTheGrainPairOnlyWithThirteenOrMoreGrain) {
  bakeries_add(40, 40);
  float pos[3];
  for (int n = 0; n < 12; n++) bakeries_drop_grain(n, pos, 0);
  bakeries_food[0] = 18;  // nothing bakes
  for (int i = 0; i < 5; i++) {
    bakeries_full[0] = 3;
    step();
  }
  expect_types(grain_cells, BAKG);  // fewer than 13: open however many refusals
  bakeries_drop_grain(12, pos, 0);
  bakeries_full[0] = 2;
  step();
  expect_types(grain_cells, BLDG);
  EXPECT_EQ(bakeries_full[0], 0);
  EXPECT_EQ(mtbe_count(bakeries_mtbf[0]), 6) << "one event per update that saw refusals";
  EXPECT_LT(weight(grain_cells), -20.0f * 40);

  bakeries_grai[0] = 12;
  step();
  expect_types(grain_cells, BAKG);
}

TEST_F(BakeriesTest, ASingleRefusedDropOrASlowRateKeepsTheGrainPairOpen) {
  bakeries_add(40, 40);
  bakeries_grai[0] = 20;
  bakeries_food[0] = 18;
  for (int i = 0; i < 5; i++) {
    bakeries_full[0] = 1;
    step();
  }
  expect_types(grain_cells, BAKG);
  wld_age += 10.0;
  bakeries_full[0] = 5;
  step();  // 6 refusal updates over 10 s
  expect_types(grain_cells, BAKG);
}

TEST_F(BakeriesTest, RefusedPickUpsCloseTheFoodPairOnlyWithLessThanTwoFood) {
  bakeries_add(40, 40);
  bakeries_food[0] = 2;
  for (int i = 0; i < 3; i++) {
    bakeries_empt[0] = 3;
    step();
  }
  expect_types(food_cells, BAKF);
  bakeries_food[0] = 1;
  bakeries_empt[0] = 2;
  step();
  expect_types(food_cells, BAKF);  // two refusals are not enough
  bakeries_empt[0] = 3;
  step();
  expect_types(food_cells, BLDG);
  EXPECT_EQ(bakeries_empt[0], 0);
  step(100);
  expect_types(food_cells, BLDG);  // stays closed until food is there
  bakeries_food[0] = 2;
  step();
  expect_types(food_cells, BAKF);
}

TEST_F(BakeriesTest, RecentDropsAndPickUpsLowerTheWeights) {
  bakeries_add(40, 40);
  float pos[3];
  wld_age = 51.0;
  bakeries_drop_grain(0, pos, 0);
  wld_age = 53.0;
  bakeries_drop_grain(1, pos, 0);
  mtbe_add_event(bakeries_mtbp[0], 53.0f);  // a servant took food
  bakeries_empt[0] = 1;
  wld_age = 55.0 - STEP;
  step();
  EXPECT_FLOAT_EQ(weight(grain_cells), -10.0f * 2 / 4);
  EXPECT_FLOAT_EQ(weight(food_cells), -10.0f * 1 / 2 - 20.0f * 1);
}

TEST_F(BakeriesTest, ABakeryWithoutTracksStillBakes) {
  while (mtbe_numtracks < MAXTRACKS - 1) mtbe_create(64, 0.0f);
  testing::internal::CaptureStdout();
  ASSERT_EQ(bakeries_add(40, 40), 0);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(bakeries_mtbd[0], MAXTRACKS - 1);
  EXPECT_EQ(bakeries_mtbp[0], -1);
  EXPECT_EQ(bakeries_mtbe[0], -1);
  drop(0);
  drop(0);
  bakeries_full[0] = bakeries_empt[0] = 5;
  step(1205);
  EXPECT_EQ(bakeries_food[0], 1);
  EXPECT_EQ(weight(food_cells), 0.0f);
  expect_types(food_cells, BAKF);
}

TEST_F(BakeriesTest, SaveWritesTheSectionAndLoadRestoresIt) {
  bakeries_add(40, 40);
  bakeries_add(50, 40);
  drop(1);
  drop(1);
  drop(1);
  step(1205);
  bakeries_full[1] = 2;
  bakeries_empt[0] = 1;
  std::string text = save_text();
  EXPECT_EQ(
      text.rfind(
          "bakeries_count 2\nbakeries_cidx\n5160\n5170\nbakeries_grai\n0\n1\nbakeries_food\n0\n1\n"
          "bakeries_gids\n",
          0),
      0u)
      << text;
  EXPECT_NE(text.find("\nbakeries_bake\n0.000000\n"), std::string::npos);
  EXPECT_NE(text.find("\nbakeries_trfs\n1.000000 0.000000 0.000000 0.000000 0.000000 1.000000 "),
            std::string::npos);
  EXPECT_NE(
      text.find(
          "\nbakeries_mtbd\n0\n4\nbakeries_mtbp\n1\n5\nbakeries_mtbf\n2\n6\nbakeries_mtbe\n3\n7\n"
          "bakeries_empt\n1\n0\nbakeries_full\n0\n2\n"),
      std::string::npos);

  int fids = bakeries_fids[1][0];
  bakeries_reset();
  ASSERT_TRUE(section_load(bakeries_serialize, text));
  EXPECT_EQ(bakeries_count, 2);
  EXPECT_EQ(bakeries_fids[1][0], fids);
  EXPECT_EQ(save_text(), text);
}

TEST_F(BakeriesTest, DamagedSectionsAreRefusedAndLeaveNoBakery) {
  bakeries_add(40, 40);
  drop(0);
  step();
  const std::string good = save_text();
  auto damaged = building_damages(good, "bakeries", "mtbp",
                                  {{"bakeries_grai\n1", "bakeries_grai\n37"},
                                   {"bakeries_food\n0", "bakeries_food\n19"},
                                   {"bakeries_gids\n0 ", "bakeries_gids\n1024 "},
                                   {"bakeries_gids\n0 ", "bakeries_gids\n-1 "}});
  section_expect_refused(bakeries_serialize, damaged, &bakeries_count, good);
  ASSERT_EQ(bakeries_count, 1);
  bakeries_food[0] = 1;
  bakeries_fids[0][0] = -1;  // baked while the food pool was full
  ASSERT_TRUE(section_load(bakeries_serialize, save_text()));
  EXPECT_EQ(bakeries_fids[0][0], -1);
}

}  // namespace
