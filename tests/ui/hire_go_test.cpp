#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "bakeries.h"
#include "ctrl_fixture.h"
#include "farms.h"
#include "hire.h"

namespace {

// Near the crowd's limit the go button queues and charges only the workers
// who can still join, beside those already waiting, and says so in one line.
TEST_F(CtrlTest, HiringAtTheCrowdsLimitChargesOnlyForTheWorkersWhoCome) {
  struct {
    int crowd, waiting;  // members, and builders already queued
    int chosen[TRADECNT], queued[TRADECNT];
  } cases[] = {
      {10, 0, {3, 1, 1, 1}, {3, 1, 1, 1}},           {3990, 0, {100, 0, 0, 0}, {10, 0, 0, 0}},
      {3900, 0, {60, 20, 20, 20}, {40, 20, 20, 20}}, {3990, 5, {100, 0, 0, 0}, {5, 0, 0, 0}},
      {4000, 0, {0, 20, 0, 0}, {0, 0, 0, 0}},
  };
  farms_add(20, 20);
  bakeries_add(20, 30);
  for (auto& c : cases) {
    crowd_sz = c.crowd, taxc_silver = 1000;
    memset(spawnqueues, 0, sizeof spawnqueues);
    spawnqueues[0] = c.waiting;
    post("hire");
    memcpy(hire_counts, c.chosen, sizeof hire_counts);
    testing::internal::CaptureStdout();
    post("gobutton");
    const std::string log = testing::internal::GetCapturedStdout();
    int paid = 0, chosen = 0;
    for (int t = 0; t < TRADECNT; t++) {
      EXPECT_EQ(spawnqueues[t], c.queued[t] + (t == 0 ? c.waiting : 0)) << c.crowd;
      paid += c.queued[t], chosen += c.chosen[t];
    }
    EXPECT_EQ(taxc_silver, 1000 - paid) << c.crowd;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), paid < chosen ? 1 : 0) << log;
    EXPECT_EQ(log.rfind("ERR ", 0) == 0, paid < chosen) << log;
  }
  crowd_sz = 0;
}

}  // namespace
