#include <gtest/gtest.h>

#include <string>

#include "fresh_sim.h"
#include "section_text.h"

#include "buckets.h"
#include "plates.h"
#include "sickles.h"

namespace {

struct ToolsTest : ::testing::Test {
  void SetUp() override { fresh_sim(); }
  void TearDown() override { fresh_sim(); }
};

std::string captured() { return testing::internal::GetCapturedStdout(); }

TEST_F(ToolsTest, EveryWorkerOfATradeGetsOneToolUntilTheTableIsFull) {
  EXPECT_EQ(buckets_give(5), 0);
  EXPECT_EQ(buckets_give(9), 1);
  EXPECT_EQ(buckets_carr[1], 9);
  EXPECT_EQ(buckets_full[1], 0);
  EXPECT_EQ(buckets_nume, 2);
  EXPECT_EQ(buckets_numf, 0);
  for (int m = 2; m < MAXBUCKETS; m++) ASSERT_EQ(buckets_give(m + 100), m);
  EXPECT_EQ(buckets_give(3999), -1);  // the 1025th irrigation worker
  EXPECT_EQ(buckets_count, MAXBUCKETS);
  EXPECT_EQ(buckets_nume, MAXBUCKETS);

  EXPECT_EQ(plates_give(7), 0);
  EXPECT_EQ(plates_nume, 1);
  EXPECT_EQ(plates_find(7), 0);
  EXPECT_EQ(plates_find(8), -1);
  for (int m = 1; m < MAXSICKLES; m++) sickles_give(m);
  EXPECT_EQ(sickles_give(0), MAXSICKLES - 1);
  EXPECT_EQ(sickles_give(3998), -1);
  EXPECT_EQ(sickles_count, MAXSICKLES);
  EXPECT_EQ(sickles_carr[MAXSICKLES - 1], 0);
}

TEST_F(ToolsTest, ANewWorldTakesEveryToolBack) {
  plates_give(3);
  plates_set_full(3, 1);
  buckets_give(4);
  buckets_set_full(4, 1);
  sickles_give(5);
  plates_reset();
  buckets_reset();
  sickles_reset();
  for (int i = 0; i < MAXPLATES; i++) ASSERT_TRUE(plates_carr[i] == -1 && plates_full[i] == 0) << i;
  EXPECT_EQ(plates_count + plates_nume + plates_numf, 0);
  EXPECT_EQ(buckets_count + buckets_nume + buckets_numf, 0);
  EXPECT_EQ(sickles_count, 0);
  EXPECT_EQ(buckets_set_full(4, 0), -1);  // the old bucket is gone
}

TEST_F(ToolsTest, PlatesAreFilledAndEmptiedOnceEach) {
  plates_give(20);
  plates_give(7);
  struct Step {
    int carrier, v, result, flag, nume, numf;
    const char* log;
  } steps[] = {
      {7, 5, 1, 5, 1, 1, ""},
      {7, 1, 0, 5, 1, 1, "ERR Plate 1 (out of 2) of carrier 7 is already 5\n"},
      {7, 0, 1, 0, 2, 0, ""},
      {7, 0, 0, 0, 2, 0, "ERR Plate 1 (out of 2) of carrier 7 is already 0\n"},
      {8, 1, -1, 0, 2, 0, "ERR Did not find plate (out of 2) for carrier 8\n"},
      {-1, 1, -1, 0, 2, 0,
       "ERR Did not find plate (out of 2) for carrier -1\n"},  // free entries hold -1
  };
  for (const Step& s : steps) {
    testing::internal::CaptureStdout();
    EXPECT_EQ(plates_set_full(s.carrier, s.v), s.result) << s.log;
    EXPECT_EQ(captured(), s.log);
    EXPECT_EQ(plates_full[1], s.flag) << s.log;
    EXPECT_EQ(plates_nume, s.nume) << s.log;
    EXPECT_EQ(plates_numf, s.numf) << s.log;
  }
  EXPECT_EQ(plates_full[0], 0);
}

TEST_F(ToolsTest, BucketsChangeStateSilently) {
  buckets_give(30);
  testing::internal::CaptureStdout();
  EXPECT_EQ(buckets_set_full(30, 1), 1);
  EXPECT_EQ(buckets_set_full(30, 1), 0);
  EXPECT_EQ(buckets_set_full(31, 1), -1);
  EXPECT_EQ(captured(), "");
  EXPECT_EQ(buckets_numf, 1);
  EXPECT_EQ(buckets_set_full(30, 0), 1);
  EXPECT_EQ(buckets_nume, 1);
  EXPECT_EQ(buckets_numf, 0);
}

TEST_F(ToolsTest, SaveAndLoadKeepCarriersFlagsAndCounters) {
  buckets_give(4);
  buckets_give(6);
  buckets_set_full(6, 1);
  std::string b = section_save(buckets_serialize);
  EXPECT_EQ(
      b,
      "buckets_count 2\nbuckets_nume 1\nbuckets_numf 1\nbuckets_carr\n4\n6\nbuckets_full\n0\n1\n");
  plates_give(1);
  plates_give(2);
  plates_give(3);
  plates_set_full(1, 1);
  plates_set_full(3, 1);
  std::string p = section_save(plates_serialize);
  sickles_give(12);
  std::string s = section_save(sickles_serialize);
  EXPECT_EQ(s, "sickles_count 1\nsickles_carr\n12\n");

  buckets_reset();
  plates_reset();
  sickles_reset();
  for (int m = 0; m < 10; m++) plates_give(100 + m);  // more than the save holds
  ASSERT_TRUE(section_load(buckets_serialize, b));
  ASSERT_TRUE(section_load(plates_serialize, p));
  ASSERT_TRUE(section_load(sickles_serialize, s));
  EXPECT_EQ(section_save(buckets_serialize), b);
  EXPECT_EQ(section_save(plates_serialize), p);
  EXPECT_EQ(section_save(sickles_serialize), s);
  EXPECT_EQ(plates_numf, 2);
  EXPECT_EQ(plates_full[2], 1);
  EXPECT_EQ(plates_carr[3], -1);  // nothing of the running world is left past the count
  EXPECT_EQ(plates_find(105), -1);
  EXPECT_EQ(plates_set_full(3, 0), 1);
}

TEST_F(ToolsTest, DamagedSectionsAreRefused) {
  const char* bad_plates[] = {
      "plates_count 1025\n",
      "plates_count 2\nplates_nume 3\n",
      "plates_count 2\nplates_nume 1\nplates_numf 0\nplates_carr\n4\n6\nplates_full\n0\n1\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n6\nplates_full\n0\n0\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n4\nplates_full\n0\n1\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n4000\nplates_full\n0\n1\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n-1\nplates_full\n0\n1\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nbuckets_carr\n4\n6\nplates_full\n0\n1\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n6\nplates_full\n0\n",
      "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\nsix\nplates_full\n0\n1\n",
  };
  for (const char* text : bad_plates) {
    EXPECT_FALSE(section_load(plates_serialize, text)) << text;
  }
  EXPECT_TRUE(section_load(plates_serialize,
                           "plates_count 2\nplates_nume 1\nplates_numf 1\nplates_carr\n4\n6\n"
                           "plates_full\n0\n1\n"));
  EXPECT_FALSE(section_load(sickles_serialize, "sickles_count 2\nsickles_carr\n5\n5\n"));
  EXPECT_FALSE(section_load(sickles_serialize, "sickles_count -1\n"));
  EXPECT_FALSE(section_load(buckets_serialize,
                            "buckets_count 1\nbuckets_nume 1\nbuckets_numf 0\nbuckets_carr\n"));
}

}  // namespace
