#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "bakeries.h"
#include "ctrl_fixture.h"
#include "farms.h"
#include "hire.h"

namespace {

// Near the crowd's limit the go button queues and charges only the workers
// who can still join beside those already waiting, and says so in one line.
TEST_F(CtrlTest, HiringAtTheCrowdsLimitChargesOnlyForTheWorkersWhoCome) {
  struct {
    int crowd, waiting, paid;                // members, builders already queued, silver taken
    int chosen[TRADECNT], queued[TRADECNT];  // queued after the go, those waiting too
  } cases[] = {
      {10, 0, 6, {3, 1, 1, 1}, {3, 1, 1, 1}},
      {3990, 0, 10, {100, 0, 0, 0}, {10, 0, 0, 0}},
      {3900, 0, 100, {60, 20, 20, 20}, {40, 20, 20, 20}},
      {3990, 5, 5, {100, 0, 0, 0}, {10, 0, 0, 0}},
      {4000, 0, 0, {0, 20, 0, 0}, {0, 0, 0, 0}},
  };
  farms_add(20, 20);
  bakeries_add(20, 30);
  for (const auto& c : cases) {
    crowd_sz = c.crowd, taxc_silver = 1000;
    memset(spawnqueues, 0, sizeof spawnqueues);
    spawnqueues[0] = c.waiting;
    post("hire");
    memcpy(hire_counts, c.chosen, sizeof hire_counts);
    const bool cut = c.paid < hire_total();
    testing::internal::CaptureStdout();
    post("gobutton");
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(memcmp(spawnqueues, c.queued, sizeof c.queued), 0) << c.crowd;
    EXPECT_EQ(taxc_silver, 1000 - c.paid) << c.crowd;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), cut) << log;
    EXPECT_EQ(log.rfind("ERR ", 0) == 0, cut) << log;
  }
}

}  // namespace
