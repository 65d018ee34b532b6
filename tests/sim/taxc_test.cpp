#include <gtest/gtest.h>

#include <string>

#include "building_site.h"
#include "food.h"
#include "notify.h"
#include "taxc.h"

namespace {

int newsilver_posts;
void count_newsilver(const char*) { newsilver_posts++; }

struct TaxcTest : BuildingTest {
  void SetUp() override {
    site(4, OPEN_W | OPEN_S, 30.0);
    taxc_silver = 200;
    newsilver_posts = 0;
    notify_listen("newsilver", count_newsilver);
  }
  void TearDown() override {
    notify_unlisten("newsilver", count_newsilver);
    BuildingTest::TearDown();
  }

  // A servant's food laid at office t, as the job state machine does it.
  static int deliver(int t) {
    const float p[3] = {1, 2, 3};
    int f = food_create_at_bakery(0, p);
    food_pick_up(f, 7);
    food_deliver(f, -1, t, p);
    taxc_fdid[t] = f;
    taxc_food[t] = TAXC_STEPS;
    return f;
  }
  static std::string save() { return section_save(taxc_serialize); }
};

TEST_F(TaxcTest, AddingStampsTheFootprintAndKeepsOpenSides) {
  wld_height[grid_cidx(61, 59)] = 6;
  EXPECT_EQ(taxc_add(61, 59), 0);
  EXPECT_EQ(taxc_count, 1);
  EXPECT_EQ(taxc_silver, 200);
  EXPECT_EQ(taxc_cidx[0], grid_cidx(61, 59));
  EXPECT_EQ(taxc_fdid[0], -1);
  EXPECT_EQ(taxc_food[0], 0);
  for (int y = 57; y <= 61; y++)
    for (int x = 59; x <= 63; x++) {
      bool ring = x >= 60 && x <= 62 && y >= 58 && y <= 60;
      int want = x == 61 && y == 59 ? FOOD : ring ? BLDG : 0;
      EXPECT_EQ(type_at(x, y), want) << x << "," << y;
      EXPECT_EQ(wld_cellflags[grid_cidx(x, y)] & 0x0f, OPEN_W | OPEN_S);
    }
  EXPECT_FLOAT_EQ(taxc_trfs[0][12], 61.5f);
  EXPECT_FLOAT_EQ(taxc_trfs[0][14], 0.9f);
  EXPECT_EQ(taxc_trfs[0][0], 1.0f);
  EXPECT_EQ(taxc_trfs[0][15], 1.0f);
  EXPECT_EQ(taxc_mtbf[0], 0);
  EXPECT_FLOAT_EQ(mtbe_last[0], 30.0f);
}

TEST_F(TaxcTest, TakenSitesAndAFullTableChangeNothing) {
  wld_cellflags[grid_cidx(32, 22)] = (GRAI << 4) | OPEN_E;  // corner of the 5x5 area of (30, 20)
  uint8_t before[GRIDCELLS];
  memcpy(before, wld_cellflags, sizeof before);
  testing::internal::CaptureStdout();
  EXPECT_EQ(taxc_add(30, 20), -1);
  EXPECT_EQ(taxc_add(0, 40), -1);  // footprint off the grid
  EXPECT_EQ(taxc_add(40, 127), -1);
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("Too close to a goal cell."), std::string::npos);
  EXPECT_EQ(taxc_count, 0);
  EXPECT_EQ(mtbe_numtracks, 0);
  EXPECT_EQ(memcmp(before, wld_cellflags, sizeof before), 0);
  EXPECT_EQ(taxc_add(30, 19), 0);  // the typed cell lies 3 rows off: free

  for (int t = 1; t < MAXTAXC; t++) ASSERT_EQ(taxc_add(5 + 6 * (t % 8), 60 + 6 * (t / 8)), t);
  testing::internal::CaptureStdout();
  EXPECT_EQ(taxc_add(100, 100), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u);
  EXPECT_EQ(taxc_count, MAXTAXC);
  EXPECT_EQ(type_at(100, 100), 0);
}

TEST_F(TaxcTest, FoodTurnsIntoTwoSilverOnTheSixthStep) {
  taxc_add(20, 20);
  taxc_add(40, 20);
  int f = deliver(1);
  for (int step = 1; step < TAXC_STEPS; step++) {
    taxc_update();
    EXPECT_EQ(taxc_silver, 200);
    EXPECT_EQ(taxc_fdid[1], f);
    EXPECT_EQ(food_taxc[f], 1);
  }
  taxc_update();
  EXPECT_EQ(taxc_silver, 202);
  EXPECT_EQ(newsilver_posts, 1);
  EXPECT_EQ(taxc_fdid[1], -1);
  EXPECT_EQ(taxc_food[1], 0);
  EXPECT_EQ(food_taxc[f], -1);
  EXPECT_EQ(food_count_in_use(), 0);
  for (int step = 0; step < 20; step++) taxc_update();  // idle offices pay nothing
  EXPECT_EQ(taxc_silver, 202);
  EXPECT_EQ(newsilver_posts, 1);
  taxc_silver = TAXC_MAX_SILVER - 1;
  deliver(1);
  for (int step = 0; step < TAXC_STEPS; step++) taxc_update();
  EXPECT_EQ(taxc_silver, TAXC_MAX_SILVER);
}

TEST_F(TaxcTest, CentreWeightIsTwoEveryStepWhateverTheOfficeHolds) {
  taxc_add(20, 20);
  taxc_add(40, 20);
  deliver(0);
  wld_goalweight[grid_cidx(20, 20)] = -3.0f;
  wld_goalweight[grid_cidx(40, 20)] = 9.0f;
  for (int step = 0; step < 8; step++) {
    taxc_update();
    EXPECT_EQ(wld_goalweight[grid_cidx(20, 20)], 2.0f);
    EXPECT_EQ(wld_goalweight[grid_cidx(40, 20)], 2.0f);
  }
  EXPECT_EQ(wld_goalweight[grid_cidx(21, 20)], 0.0f);  // the ring is not a goal
}

TEST_F(TaxcTest, SaveAndLoadRoundTrip) {
  taxc_add(20, 20);
  taxc_add(40, 30);
  int f = deliver(1);
  taxc_update();
  taxc_silver = 1234;
  std::string text = save();
  EXPECT_EQ(text.rfind("taxc_count 2\ntaxc_silver 1234\ntaxc_cidx\n2580\n3880\ntaxc_fdid\n-1\n", 0),
            0u);
  EXPECT_NE(text.find("taxc_food\n0\n5\ntaxc_trfs\n1.000000 0.000000 "), std::string::npos);
  EXPECT_NE(text.find("taxc_mtbf\n0\n1\n"), std::string::npos);

  taxc_reset();
  taxc_silver = 200;
  ASSERT_TRUE(section_load(taxc_serialize, text));
  EXPECT_EQ(taxc_count, 2);
  EXPECT_EQ(taxc_silver, 1234);
  EXPECT_EQ(taxc_fdid[1], f);
  EXPECT_EQ(save(), text);
}

TEST_F(TaxcTest, DamagedSectionsAreRefusedAndLeaveNoOfficeLive) {
  taxc_add(20, 20);
  taxc_add(40, 30);
  deliver(1);
  const std::string good = save();
  auto bad = building_damages(good, "taxc", "mtbf",
                              {{"taxc_silver 200", "taxc_silver lots"},
                               {"taxc_fdid\n-1", "taxc_fdid\n1024"},
                               {"taxc_fdid\n-1", "taxc_fdid\n3"},  // food without a countdown
                               {"taxc_food\n0\n6", "taxc_food\n0\n7"}});
  section_expect_refused(taxc_serialize, bad, &taxc_count, good);
  EXPECT_EQ(taxc_count, 2);
  // The saved silver goes live only with the offices.
  taxc_silver = 50;
  std::string rich = section_replaced(good, "taxc_silver 200", "taxc_silver 999");
  EXPECT_FALSE(
      section_load(taxc_serialize, section_replaced(rich, "taxc_food\n0\n6", "taxc_food\n0\n7")));
  EXPECT_EQ(taxc_silver, 50);
}

}  // namespace
