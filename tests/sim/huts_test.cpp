#include <gtest/gtest.h>

#include <string>

#include "building_site.h"
#include "crowd.h"
#include "food.h"
#include "huts.h"
#include "plates.h"

namespace {

struct HutsTest : BuildingTest {
  void SetUp() override {
    site(3, OPEN_N | OPEN_E, 100.0);
    crowd_sz = 40;
    for (int m = 0; m < crowd_sz; m++) crowd_trade[m] = m % 3;  // no servants unless a test says so
  }

  // Advances the world clock with the steps, as the world update does.
  static void run(float seconds) {
    steps((int)(seconds * 240.0f + 0.5f), [](float dt) { huts_update(dt, crowd_goal); });
  }
  static void enter(int h, int first, int n) {
    for (int m = first; m < first + n; m++) {
      ASSERT_EQ(huts_enter(huts_cidx[h], m), h);
      crowd_goal[m] = 11;
    }
  }
  // A servant's food laid at hut h, as the job state machine does it.
  static int deliver(int h) {
    const float at_bakery[3] = {0, 0, 0};
    int f = food_create_at_bakery(0, at_bakery);
    food_pick_up(f, 39);
    float pos[3];
    EXPECT_EQ(huts_deliver_food(h, f, pos), h);
    food_deliver(f, h, -1, pos);
    return f;
  }
  static float weight(int x, int y) { return wld_goalweight[grid_cidx(x, y)]; }
  static std::string save() { return section_save(huts_serialize); }
};

TEST_F(HutsTest, AddingStampsFoodAndRestOnlyAndMakesFourTracks) {
  wld_height[grid_cidx(50, 40)] = 8;
  mtbe_create(64, 0.0f);  // someone else's track first
  // What a refused load may leave behind in a free slot.
  huts_fdid[0] = 5;
  huts_food[0] = huts_occu[0] = 3;
  huts_resi[0][2] = 7;
  EXPECT_EQ(huts_add(50, 40), 0);
  EXPECT_EQ(huts_count, 1);
  for (int y = 38; y <= 42; y++)
    for (int x = 48; x <= 52; x++) {
      int want = x == 50 && y == 40 ? FOOD : y == 41 && x >= 49 && x <= 51 ? REST : 0;
      EXPECT_EQ(type_at(x, y), want) << x << "," << y;
      EXPECT_EQ(wld_cellflags[grid_cidx(x, y)] & 0x0f, OPEN_N | OPEN_E);
    }
  EXPECT_TRUE(huts_mtbo[0] == 1 && huts_mtbr[0] == 4);
  EXPECT_FLOAT_EQ(mtbe_last[4], 100.0f);
  EXPECT_EQ(huts_fdid[0], -1);
  EXPECT_EQ(huts_food[0] + huts_occu[0], 0);
  for (int i = 0; i < HUTS_MAXRESI; i++) EXPECT_EQ(huts_resi[0][i], -1);
  EXPECT_FLOAT_EQ(huts_trfs[0][12], 50.5f);
  EXPECT_FLOAT_EQ(huts_trfs[0][14], 1.2f);

  wld_cellflags[grid_cidx(60, 42)] = (MARK << 4);
  uint8_t before[GRIDCELLS];
  memcpy(before, wld_cellflags, sizeof before);
  testing::internal::CaptureStdout();
  EXPECT_EQ(huts_add(58, 40), -1);   // the mark is in its 5x5 area
  EXPECT_EQ(huts_add(53, 40), -1);   // so is the first hut's rest entry
  EXPECT_EQ(huts_add(127, 10), -1);  // footprint off the grid
  EXPECT_NE(testing::internal::GetCapturedStdout().find("Too close to a goal cell."),
            std::string::npos);
  EXPECT_EQ(memcmp(before, wld_cellflags, sizeof before), 0);
  EXPECT_EQ(huts_count, 1);
  EXPECT_EQ(mtbe_numtracks, 5);
}

TEST_F(HutsTest, TenthEntryFillsTheHutEleventhIsRefused) {
  huts_add(20, 20);
  EXPECT_EQ(huts_enter(grid_cidx(10, 10), 0), -1);  // no hut there
  enter(0, 0, 9);
  EXPECT_EQ(mtbe_count(huts_mtbo[0]), 9);
  EXPECT_EQ(mtbe_count(huts_mtbb[0]), 0);
  EXPECT_EQ(huts_enter(grid_cidx(21, 21), 9), 0);
  EXPECT_EQ(huts_occu[0], 10);
  EXPECT_EQ(mtbe_count(huts_mtbo[0]), 10);
  EXPECT_EQ(mtbe_count(huts_mtbb[0]), 1);
  EXPECT_EQ(huts_enter(grid_cidx(19, 21), 10), -1);
  EXPECT_EQ(huts_occu[0], 10);
  EXPECT_EQ(mtbe_count(huts_mtbo[0]), 10);
  EXPECT_EQ(mtbe_count(huts_mtbb[0]), 2);
  for (int i = 0; i < HUTS_MAXRESI; i++) EXPECT_EQ(huts_resi[0][i], i);
}

TEST_F(HutsTest, LeavingMovesTheLastResidentIntoTheGap) {
  huts_add(20, 20);
  EXPECT_EQ(huts_leave(0, 3), -1);  // nobody there
  enter(0, 3, 4);                   // 3, 4, 5, 6
  huts_rest[0][3] = 7.0f;
  EXPECT_EQ(huts_leave(0, 4), 4);
  EXPECT_EQ(huts_occu[0], 3);
  EXPECT_EQ(huts_resi[0][1], 6);
  EXPECT_EQ(huts_rest[0][1], 7.0f);
  EXPECT_EQ(huts_resi[0][3], -1);
  EXPECT_EQ(huts_leave(0, 4), -1);
  EXPECT_EQ(huts_leave(0, 5), 5);  // the last one: no move
  EXPECT_EQ(huts_resi[0][2], -1);
  EXPECT_EQ(huts_occu[0], 2);
}

TEST_F(HutsTest, WithoutFoodRestedResidentsStayUntilFoodComes) {
  huts_add(20, 20);
  enter(0, 0, 3);
  run(0.5f);
  enter(0, 3, 1);  // arrives later, rests less
  run(19.5f);
  EXPECT_EQ(huts_occu[0], 4);
  EXPECT_NEAR(huts_rest[0][0], 20.0f, 0.01f);
  for (int m = 0; m < 4; m++) EXPECT_EQ(crowd_goal[m], 11u);

  huts_rest[0][3] = 11.0f;
  int f = deliver(0);
  EXPECT_EQ(huts_food[0], 10);
  huts_update(STEP, crowd_goal);  // the three rested ones eat and leave in this step
  EXPECT_EQ(huts_occu[0], 1);
  EXPECT_EQ(huts_resi[0][0], 3);
  EXPECT_EQ(huts_food[0], 7);
  EXPECT_EQ(huts_fdid[0], f);
  EXPECT_EQ(crowd_goal[0], 1u);  // builder
  EXPECT_EQ(crowd_goal[1], 3u);  // irrigation worker
  EXPECT_EQ(crowd_goal[2], 5u);  // field worker
  EXPECT_EQ(crowd_goal[3], 11u);
  run(1.0f);
  EXPECT_EQ(huts_occu[0], 0);
  EXPECT_EQ(crowd_goal[3], 1u);
  EXPECT_EQ(huts_food[0], 6);
}

TEST_F(HutsTest, PortionsRunOutLastSlotFirst) {
  huts_add(20, 20);
  deliver(0);
  huts_food[0] = 2;
  enter(0, 0, 4);
  run(12.1f);
  EXPECT_EQ(huts_occu[0], 2);  // slots 3 and 2 ate the last two portions
  EXPECT_EQ(huts_resi[0][0], 0);
  EXPECT_EQ(huts_resi[0][1], 1);
  EXPECT_EQ(crowd_goal[3], 1u);
  EXPECT_EQ(crowd_goal[2], 5u);
  EXPECT_EQ(crowd_goal[0], 11u);
}

TEST_F(HutsTest, DeliveryClosesTheDropOffAndPlacesTheFoodNorthOfTheCentre) {
  wld_height[grid_cidx(30, 19)] = 9;
  huts_add(30, 20);
  huts_add(40, 20);
  deliver(1);
  float pos[3];
  const float at_bakery[3] = {0, 0, 0};
  int g = food_create_at_bakery(0, at_bakery);
  EXPECT_EQ(huts_deliver_food(0, g, pos), 0);
  EXPECT_FLOAT_EQ(pos[0], 30.5f);
  EXPECT_FLOAT_EQ(pos[1], 19.75f);
  EXPECT_FLOAT_EQ(pos[2], 1.35f);
  EXPECT_EQ(type_at(30, 20), BLDG);
  EXPECT_EQ(wld_cellflags[grid_cidx(30, 20)] & 0x0f, OPEN_N | OPEN_E);
  EXPECT_EQ(type_at(30, 21), REST);
  EXPECT_EQ(mtbe_count(huts_mtbf[0]), 1);

  testing::internal::CaptureStdout();
  EXPECT_EQ(huts_deliver_food(0, 77, pos), -1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("ERR hut 0 already has food(" +
                                                        std::to_string(g) + ")"),
            std::string::npos);
  EXPECT_EQ(huts_fdid[0], g);
  EXPECT_EQ(mtbe_count(huts_mtbf[0]), 1);
}

TEST_F(HutsTest, TenthPortionFreesTheFoodAndReopensTheDropOff) {
  huts_add(20, 20);
  int f = deliver(0);
  EXPECT_EQ(food_huts[f], 0);
  huts_food[0] = 1;
  enter(0, 0, 3);
  run(12.1f);
  EXPECT_EQ(huts_occu[0], 2);
  EXPECT_EQ(huts_food[0], 0);
  EXPECT_EQ(huts_fdid[0], -1);
  EXPECT_EQ(food_huts[f], -1);
  EXPECT_EQ(food_count_in_use(), 0);
  EXPECT_EQ(type_at(20, 20), FOOD);
  EXPECT_EQ(mtbe_count(huts_mtbr[0]), 1);
  float emptied = mtbe_last[huts_mtbr[0]];
  // 5 per waiting resident, growing by 0.4 per second without food
  EXPECT_NEAR(weight(20, 20), 0.4f * ((float)wld_age - emptied) + 10.0f, 0.001f);
  EXPECT_LT(weight(20, 20), 10.1f);
  run(5.0f);
  EXPECT_NEAR(weight(20, 20), 0.4f * ((float)wld_age - emptied) + 10.0f, 0.001f);
  EXPECT_GT(weight(20, 20), 12.0f);
}

TEST_F(HutsTest, WeightsOfANewHutAndOfABusyOne) {
  huts_add(20, 20);
  run(10.0f);
  EXPECT_EQ(weight(19, 21), 0.0f);
  EXPECT_EQ(weight(21, 21), 0.0f);
  EXPECT_NEAR(weight(20, 20), 4.0f, 0.01f);  // 0.4 per second since its creation
  EXPECT_EQ(weight(20, 19), 0.0f);           // walled cells carry no weight

  deliver(0);
  enter(0, 0, 10);
  huts_enter(huts_cidx[0], 10);  // refused, counted as full
  huts_update(STEP, crowd_goal);
  float now = (float)wld_age;
  float ro = mtbe_rate(huts_mtbo[0], now), rb = mtbe_rate(huts_mtbb[0], now);
  EXPECT_GT(ro, 0.0f);
  EXPECT_GT(rb, 0.0f);
  EXPECT_FLOAT_EQ(weight(20, 21), 30.0f - (12.0f * rb + 10.0f * ro));
  EXPECT_EQ(weight(20, 20), 0.0f);
}

TEST_F(HutsTest, HutsWithoutEventTracksStillWork) {
  for (int i = 0; i < MAXTRACKS - 2; i++) mtbe_create(64, 0.0f);
  huts_add(20, 20);  // only two of its four tracks fit
  EXPECT_EQ(huts_mtbo[0], MAXTRACKS - 2);
  EXPECT_EQ(huts_mtbf[0], -1);
  EXPECT_EQ(huts_mtbr[0], -1);
  enter(0, 0, 2);
  run(1.0f);
  EXPECT_NEAR(weight(20, 20), 10.0f, 0.001f);  // no record of when food ran out
  deliver(0);
  huts_food[0] = 1;
  run(12.1f);
  EXPECT_EQ(huts_occu[0], 1);
  EXPECT_EQ(huts_fdid[0], -1);
}

TEST_F(HutsTest, ServantsLeaveWithTheirEmptyPlate) {
  huts_add(20, 20);
  for (int m = 30; m < 33; m++) crowd_trade[m] = 3;
  plates_give(30);
  plates_give(31);
  plates_set_full(31, 1);  // cannot happen in play
  deliver(0);
  enter(0, 30, 3);  // 32 has no plate: past the table's capacity
  testing::internal::CaptureStdout();
  run(12.1f);
  std::string log = testing::internal::GetCapturedStdout();
  EXPECT_EQ(crowd_goal[30], 7u);
  EXPECT_EQ(crowd_goal[31], 7u);
  EXPECT_EQ(crowd_goal[32], 7u);
  EXPECT_NE(log.find("ERR Plate was already filled for carrier 31"), std::string::npos);
  EXPECT_EQ(log.find("carrier 30"), std::string::npos);
  EXPECT_EQ(log.find("carrier 32"), std::string::npos);
}

TEST_F(HutsTest, InvalidTradeIsLoggedAndKeepsItsState) {
  huts_add(20, 20);
  crowd_trade[5] = 9;
  deliver(0);
  enter(0, 5, 1);
  testing::internal::CaptureStdout();
  run(12.1f);
  EXPECT_NE(testing::internal::GetCapturedStdout().find(
                "ERR The trade of occupant 5 is set to invalid value 9"),
            std::string::npos);
  EXPECT_EQ(huts_occu[0], 0);
  EXPECT_EQ(crowd_goal[5], 11u);
}

TEST_F(HutsTest, SaveAndLoadRoundTrip) {
  huts_add(20, 20);
  huts_add(40, 30);
  int f = deliver(1);
  enter(1, 4, 3);
  run(2.0f);
  std::string text = save();
  EXPECT_EQ(text.rfind("huts_count 2\nhuts_cidx\n2580\n3880\nhuts_fdid\n-1\n" + std::to_string(f) +
                           "\nhuts_food\n0\n10\nhuts_trfs\n",
                       0),
            0u);
  EXPECT_NE(
      text.find(
          "huts_resi\n-1 -1 -1 -1 -1 -1 -1 -1 -1 -1 \n4 5 6 -1 -1 -1 -1 -1 -1 -1 \nhuts_rest\n"),
      std::string::npos);
  EXPECT_NE(
      text.find(
          "huts_occu\n0\n3\nhuts_mtbo\n0\n4\nhuts_mtbb\n1\n5\nhuts_mtbf\n2\n6\nhuts_mtbr\n3\n7\n"),
      std::string::npos);

  huts_reset();
  ASSERT_TRUE(section_load(huts_serialize, text));
  EXPECT_EQ(huts_count, 2);
  EXPECT_NEAR(huts_rest[1][0], 2.0f, 0.001f);
  EXPECT_EQ(save(), text);
}

TEST_F(HutsTest, DamagedSectionsAreRefusedAndLeaveNoHutLive) {
  huts_add(20, 20);
  huts_add(40, 30);
  deliver(1);
  enter(1, 4, 3);
  const std::string good = save();
  auto bad =
      building_damages(good, "huts", "mtbr",
                       {{"huts_fdid\n-1", "huts_fdid\n1024"},
                        {"huts_food\n0\n10", "huts_food\n0\n11"},
                        {"huts_food\n0\n10", "huts_food\n0\n0"},   // food held with no portions
                        {"huts_food\n0\n10", "huts_food\n4\n10"},  // portions without food
                        {"\n4 5 6 -1", "\n4 5 40 -1"},             // not a member of the crowd
                        {"\n4 5 6 -1", "\n4 5 7 -1"},              // a member at work
                        {"\n4 5 6 -1", "\n4 5 -1 6"},              // a resident past the count
                        {"huts_occu\n0\n3", "huts_occu\n0\n11"},
                        {"huts_occu\n0\n3", "huts_occu\n0\n2"}});
  section_expect_refused(huts_serialize, bad, &huts_count, good);
  EXPECT_EQ(huts_occu[1], 3);
}

}  // namespace
