#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "fresh_sim.h"
#include "section_text.h"

#include "bakeries.h"
#include "food.h"
#include "grain.h"

namespace {

struct FoodTest : ::testing::Test {
  void SetUp() override { fresh_sim(); }
  void TearDown() override { fresh_sim(); }
};

std::string captured() { return testing::internal::GetCapturedStdout(); }

const float kPos[3] = {12.5f, 40.25f, 3.0f};

void expect_placed(const float* m, const float pos[3]) {
  const float want[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, pos[0], pos[1], pos[2], 1};
  for (int e = 0; e < 16; e++) EXPECT_EQ(m[e], want[e]) << e;
}

TEST_F(FoodTest, BakedFoodTakesTheLowestFreeSlotUntilThePoolIsFull) {
  EXPECT_EQ(food_count_in_use(), 0);
  EXPECT_EQ(food_create_at_bakery(2, kPos), 0);
  EXPECT_EQ(food_bkry[0], 2);
  expect_placed(food_trfs[0], kPos);
  for (int i = 1; i < MAXFOOD; i++) ASSERT_EQ(food_create_at_bakery(i % 32, kPos), i);
  testing::internal::CaptureStdout();
  EXPECT_EQ(food_create_at_bakery(3, kPos), -1);
  EXPECT_EQ(captured(), "ERR Could not assign a food to bakery 3\n");
  EXPECT_EQ(food_count_in_use(), MAXFOOD);
  // Eaten at a hut and turned into silver, in the other order.
  food_release(700);
  food_release(3);
  food_release(-1);       // ignored
  food_release(MAXFOOD);  // ignored
  EXPECT_EQ(food_create_at_bakery(9, kPos), 3);
  EXPECT_EQ(food_create_at_bakery(9, kPos), 700);
  testing::internal::CaptureStdout();
  EXPECT_EQ(food_create_at_bakery(9, kPos), -1);
  EXPECT_EQ(captured(), "ERR Could not assign a food to bakery 9\n");
}

TEST_F(FoodTest, FoodGoesFromBakeryToServantToHutOrOffice) {
  int f = food_create_at_bakery(4, kPos);
  int g = food_create_at_bakery(4, kPos);
  EXPECT_EQ(food_pick_up(-1, 7), -1);
  EXPECT_EQ(food_pick_up(MAXFOOD, 7), -1);
  EXPECT_EQ(food_bkry[f], 4);
  EXPECT_EQ(food_find_carried(7), -1);
  EXPECT_EQ(food_pick_up(g, 7), g);
  EXPECT_EQ(food_bkry[g], -1);
  EXPECT_EQ(food_carr[g], 7);
  EXPECT_EQ(food_find_carried(7), g);
  EXPECT_EQ(food_find_carried(-1), -1);
  // The draw copies the carrier's transform into the carried item; laying it
  // down keeps that copy's third column and last row.
  const float carrier[16] = {0.6f, 0.8f, 0,     0, -0.8f, 0.6f, 0,      0,
                             0,    0.1f, 0.99f, 0, 5,     6,    1.267f, 1};
  memcpy(food_trfs[g], carrier, sizeof carrier);
  const float at[3] = {30.5f, 29.1f, 1.6f};
  food_deliver(g, -1, 2, at);
  EXPECT_EQ(food_carr[g], -1);
  EXPECT_EQ(food_huts[g], -1);
  EXPECT_EQ(food_taxc[g], 2);
  const float want[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0.1f, 0.99f, 0, 30.5f, 29.1f, 1.6f, 1};
  for (int e = 0; e < 16; e++) EXPECT_EQ(food_trfs[g][e], want[e]) << e;
  EXPECT_EQ(food_count_in_use(), 2);
  food_release(g);
  EXPECT_EQ(food_count_in_use(), 1);
  EXPECT_EQ(food_taxc[g], -1);
}

TEST_F(FoodTest, GrainGoesFromFieldWorkerToBakery) {
  EXPECT_EQ(grain_assign(11), 0);
  EXPECT_EQ(grain_assign(12), 1);
  EXPECT_EQ(grain_find_carried(12), 1);
  grain_drop_at_bakery(0, 5, kPos);
  EXPECT_EQ(grain_carr[0], -1);
  EXPECT_EQ(grain_bkry[0], 5);
  EXPECT_EQ(grain_trfs[0][1], -1.0f);
  EXPECT_EQ(grain_trfs[0][4], 1.0f);
  EXPECT_EQ(grain_trfs[0][13], kPos[1]);
  EXPECT_EQ(grain_find_carried(11), -1);
  EXPECT_EQ(grain_count_in_use(), 2);
  // Slot 0 lies at a bakery: it is in use, so the next harvest gets slot 2.
  EXPECT_EQ(grain_assign(13), 2);
  grain_release(0);  // baked
  EXPECT_EQ(grain_assign(14), 0);
  for (int i = 3; i < MAXGRAIN; i++) ASSERT_EQ(grain_assign(i), i);
  EXPECT_EQ(grain_assign(3999), -1);
  EXPECT_EQ(grain_find_carried(3999), -1);
  ASSERT_NE(grain_trfs[0][13], 0.0f);
  grain_reset();
  EXPECT_EQ(grain_count_in_use(), 0);
  EXPECT_EQ(grain_trfs[0][13], 0.0f);  // the matrices start over too
}

TEST_F(FoodTest, SavedItemsComeBackInTheirOwnSlots) {
  for (int i = 0; i <= 700; i++) food_create_at_bakery(1, kPos);
  for (int i = 0; i <= 700; i++)
    if (i != 3 && i != 700) food_release(i);
  food_pick_up(700, 3999);
  food_trfs[700][14] = 2.5f;
  food_pick_up(3, 12);
  food_deliver(3, 127, -1, kPos);
  std::string s = section_save(food_serialize);
  EXPECT_EQ(s.substr(0, s.find("food_trfs")),
            "food_cnt 2\nidx 3\nfood_bkry[ idx ] -1\nfood_carr[ idx ] -1\nfood_huts[ idx ] 127\n"
            "food_taxc[ idx ] -1\n");
  EXPECT_NE(s.find("food_trfs[ idx ]\n0.000000\n-1.000000\n"), std::string::npos);

  food_reset();
  food_create_at_bakery(6, kPos);  // a slot the save does not hold
  ASSERT_TRUE(section_load(food_serialize, s));
  EXPECT_EQ(food_count_in_use(), 2);
  EXPECT_EQ(food_bkry[0], -1);
  EXPECT_EQ(food_huts[3], 127);
  EXPECT_EQ(food_carr[700], 3999);
  EXPECT_EQ(food_trfs[700][14], 2.5f);
  expect_placed(food_trfs[3], kPos);
  EXPECT_EQ(section_save(food_serialize), s);

  grain_assign(8);
  grain_assign(9);
  grain_drop_at_bakery(1, 31, kPos);
  std::string g = section_save(grain_serialize);
  EXPECT_EQ(g.substr(0, g.find("grain_trfs")),
            "grain_cnt 2\nidx 0\ngrain_carr[ idx ] 8\ngrain_bkry[ idx ] -1\n");
  grain_reset();
  ASSERT_TRUE(section_load(grain_serialize, g));
  EXPECT_EQ(grain_carr[0], 8);
  EXPECT_EQ(grain_bkry[1], 31);
  EXPECT_EQ(section_save(grain_serialize), g);
}

// One food item at slot 5 held by bakery 0, with line n (0 = the count,
// 7 = the last matrix element) replaced by `line`.
std::string food_section(int n = -1, const std::string& line = "") {
  std::string lines[] = {"food_cnt 1",          "idx 5",
                         "food_bkry[ idx ] 0",  "food_carr[ idx ] -1",
                         "food_huts[ idx ] -1", "food_taxc[ idx ] -1",
                         "food_trfs[ idx ]",    "1.000000"};
  if (n >= 0) lines[n] = line;
  std::string s;
  for (int i = 0; i < 7; i++) s += lines[i] + "\n";
  for (int e = 0; e < 15; e++) s += "1.000000\n";
  return s + lines[7] + "\n";
}

TEST_F(FoodTest, DamagedSectionsAreRefused) {
  ASSERT_TRUE(section_load(food_serialize, food_section()));
  EXPECT_EQ(food_bkry[5], 0);
  const std::pair<int, const char*> bad[] = {
      {0, "food_cnt 1025"},
      {0, "food_cnt 2"},  // the second item is missing
      {1, "idx 1024"},
      {1, "idx -1"},
      {2, "food_bkry[ idx ] 32"},
      {3, "food_carr[ idx ] 4000"},
      {4, "food_huts[ idx ] 128"},
      {5, "food_taxc[ idx ] 16"},
      {5, "food_taxc[ idx ] 1"},   // two holders at once
      {2, "food_bkry[ idx ] -1"},  // no holder
      {3, "food_carr[ idx ] -2"},
      {6, "food_trfs"},
      {7, "nan"},
      {2, "food_bkry[ idx ] x"},
  };
  for (const auto& b : bad) {
    EXPECT_FALSE(section_load(food_serialize, food_section(b.first, b.second))) << b.second;
  }
  // The same slot twice.
  std::string twice = food_section(0, "food_cnt 2");
  twice += twice.substr(twice.find("idx"));
  EXPECT_FALSE(section_load(food_serialize, twice));
  // A grain item with both owners.
  EXPECT_FALSE(section_load(grain_serialize,
                            "grain_cnt 1\nidx 0\ngrain_carr[ idx ] 1\ngrain_bkry[ idx ] 1\n"));
}

TEST_F(FoodTest, BakeryListsMustMatchTheLoadedFood) {
  bakeries_count = 1;
  bakeries_food[0] = 2;
  bakeries_fids[0][0] = -1;  // baked while the pool was full
  bakeries_fids[0][1] = 5;
  EXPECT_TRUE(section_load(food_serialize, food_section()));
  bakeries_fids[0][1] = 6;  // a slot the save leaves free
  EXPECT_FALSE(section_load(food_serialize, food_section()));
  bakeries_fids[0][1] = 5;
  std::string at_hut = food_section(4, "food_huts[ idx ] 0");
  at_hut.replace(at_hut.find("food_bkry[ idx ] 0"), 18, "food_bkry[ idx ] -1");
  EXPECT_FALSE(section_load(food_serialize, at_hut));
  bakeries_food[0] = 0;
  bakeries_count = 0;
}

}  // namespace
