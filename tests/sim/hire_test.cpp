#include <gtest/gtest.h>

#include <cstring>

#include "crowd.h"
#include "hire.h"
#include "taxc.h"

namespace {

int go_shown;  // last value handed to the go button, -1 before any
int go_calls;

void record_go(int shown) {
  go_shown = shown;
  go_calls++;
}

struct HireTest : ::testing::Test {
  void SetUp() override {
    memset(hire_counts, 0, sizeof hire_counts);
    taxc_silver = 200;
    go_shown = -1;
    go_calls = 0;
    hire_set_go_button(record_go);
  }
  void TearDown() override {
    hire_set_go_button(nullptr);
    crowd_sz = 0;
    memset(spawnqueues, 0, sizeof spawnqueues);
  }

  static void post(int type, float x, int click) {
    char text[128];
    snprintf(text, sizeof text, "workforce type=%d x=%f click=%d", type, x, click);
    hire_on_workforce(text);
  }
  static void expect_counts(int a, int b, int c, int d) {
    EXPECT_EQ(hire_counts[0], a);
    EXPECT_EQ(hire_counts[1], b);
    EXPECT_EQ(hire_counts[2], c);
    EXPECT_EQ(hire_counts[3], d);
  }
};

TEST_F(HireTest, SliderPositionSetsTheCountWithinTheTradesMaximum) {
  post(0, 0.5f, 1);
  expect_counts(35, 0, 0, 0);
  post(2, 0.5f, 1);
  expect_counts(35, 0, 20, 0);  // field workers stop at 20
  post(0, 0.99f, 0);
  EXPECT_EQ(hire_counts[0], 100);
  post(0, 0.31f, 0);  // n = -3: right of the dead zone, clamped to 0
  EXPECT_EQ(hire_counts[0], 0);
  EXPECT_EQ(go_shown, 1);
}

TEST_F(HireTest, PressInTheDeadZoneAddsOneAndADragThereIsIgnored) {
  for (int k = 1; k <= 25; k++) {
    post(1, 0.1f, 1);
    EXPECT_EQ(hire_counts[1], k < 20 ? k : 20);
  }
  EXPECT_EQ(go_shown, 1);
  go_calls = 0;
  post(1, 0.1f, 0);
  post(1, 0.28f, 0);  // n = -9, still in the dead zone
  EXPECT_EQ(hire_counts[1], 20);
  EXPECT_EQ(go_calls, 0);  // the go button's flag is left alone
  // A message without click or x counts as a press in the dead zone.
  post(3, 0.0f, 1);
  hire_on_workforce("workforce type=3 x=0.1");
  hire_on_workforce("workforce type=3 click=1");
  EXPECT_EQ(hire_counts[3], 3);
  hire_on_workforce("workforce type=3 click=0");
  EXPECT_EQ(hire_counts[3], 3);
}

TEST_F(HireTest, OutOfRangeAndNonNumericPositionsStayDefined) {
  hire_on_workforce("workforce type=0 x=1e30 click=0");
  EXPECT_EQ(hire_counts[0], 100);
  hire_on_workforce("workforce type=2 x=-1e30 click=1");
  EXPECT_EQ(hire_counts[2], 1);
  hire_on_workforce("workforce type=2 x=nan click=1");
  EXPECT_EQ(hire_counts[2], 2);
  hire_on_workforce("workforce type=2 x=inf click=0");
  EXPECT_EQ(hire_counts[2], 20);
}

TEST_F(HireTest, MessagesForNoTradeAreIgnored) {
  post(1, 0.5f, 1);
  go_calls = 0;
  post(4, 0.5f, 1);
  post(-1, 0.5f, 1);
  hire_on_workforce("workforce x=0.5 click=1");
  hire_on_workforce("workforce type=99999999999 x=0.5 click=1");
  expect_counts(0, 20, 0, 0);
  EXPECT_EQ(go_calls, 0);
}

TEST_F(HireTest, TotalNeverExceedsTheSilverOtherTradesGiveUpFirst) {
  taxc_silver = 30;
  post(1, 0.5f, 1);
  expect_counts(0, 20, 0, 0);
  post(0, 0.5f, 1);  // 35 builders asked: irrigation gives up its 20, then 5 builders go
  expect_counts(30, 0, 0, 0);

  taxc_silver = 50;
  memcpy(hire_counts, (const int32_t[]){10, 15, 15, 10}, sizeof hire_counts);
  post(1, 0.6f, 1);  // 20 asked, total 55: field workers (after trade 1) give 5
  expect_counts(10, 20, 10, 10);

  taxc_silver = 0;
  post(3, 0.5f, 1);
  expect_counts(0, 0, 0, 0);
  EXPECT_EQ(go_shown, 0);

  taxc_silver = -7;  // even below zero every count ends at 0
  post(0, 0.1f, 1);
  expect_counts(0, 0, 0, 0);
}

// A hire fills the crowd's room beside the workers waiting to spawn, no more;
// the builders give up first.
TEST_F(HireTest, AHireIsCutToTheCrowdsRoomBuildersFirst) {
  const struct {
    int crowd, queued, kept;
    int32_t counts[TRADECNT], left[TRADECNT];
  } cases[] = {
      {3800, 40, 70, {10, 20, 20, 20}, {10, 20, 20, 20}},
      {3930, 40, 30, {10, 20, 20, 20}, {0, 0, 10, 20}},
      {4000, 0, 0, {10, 20, 20, 20}, {0, 0, 0, 0}},
      {3000, 2147483647, 0, {1, 0, 0, 0}, {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    crowd_sz = c.crowd;
    spawnqueues[2] = c.queued;
    memcpy(hire_counts, c.counts, sizeof hire_counts);
    EXPECT_EQ(hire_fit_crowd(), c.kept) << c.crowd;
    EXPECT_EQ(memcmp(hire_counts, c.left, sizeof hire_counts), 0) << c.crowd;
  }
}

TEST_F(HireTest, ReductionWrapsAroundTheTradesAndStopsWhenDone) {
  memcpy(hire_counts, (const int32_t[]){10, 10, 10, 10}, sizeof hire_counts);
  hire_reduce(15, 1);
  expect_counts(10, 10, 0, 5);
  hire_reduce(12, 3);
  expect_counts(0, 8, 0, 5);  // wraps to trade 0, then 1
  hire_reduce(100, 2);
  expect_counts(0, 0, 0, 0);
  EXPECT_DEATH(hire_reduce(0, 1), "reduction > 0");
  EXPECT_DEATH(hire_reduce(1, 4), "trade >= 0");
}

TEST_F(HireTest, GoButtonShowsExactlyWhileAnyCountIsAboveZero) {
  post(2, 0.45f, 1);
  EXPECT_EQ(go_shown, 1);
  post(3, 0.1f, 1);
  post(2, 0.32f, 1);  // back to 0, a servant is still chosen
  EXPECT_EQ(go_shown, 1);
  post(3, 0.32f, 0);
  EXPECT_EQ(go_shown, 0);
  hire_set_go_button(nullptr);
  post(0, 0.5f, 1);  // no button installed: the counts still change
  EXPECT_EQ(hire_counts[0], 35);
}

}  // namespace
