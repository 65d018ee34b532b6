#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "fresh_sim.h"
#include "mtbe.h"

namespace {

struct MtbeTest : ::testing::Test {
  void SetUp() override { fresh_sim(); }
  void TearDown() override { fresh_sim(); }
};

TEST_F(MtbeTest, FirstEventCountsFromTheTracksCreation) {
  int id = mtbe_create(64, 10.0f);
  ASSERT_EQ(id, 0);
  EXPECT_FLOAT_EQ(mtbe_mean(id, 14.0f), 4.0f);  // silence counts as one open interval
  EXPECT_FLOAT_EQ(mtbe_add_event(id, 12.5f), 2.5f);
  EXPECT_EQ(mtbe_count(id), 1);
  EXPECT_EQ(mtbe_last[id], 12.5f);
  EXPECT_EQ(mtbe_create(64, 0.0f), 1);
}

TEST_F(MtbeTest, FullRingKeepsTheLast63Intervals) {
  int id = mtbe_create(64, 0.0f);
  auto stamp = [](int k) { return k * k / 8.0f; };  // interval k is (2k - 1) / 8
  for (int k = 1; k <= 63; k++) mtbe_add_event(id, stamp(k));
  EXPECT_EQ(mtbe_count(id), 63);
  EXPECT_FLOAT_EQ(mtbe_sum[id], 63.0f * 63.0f / 8.0f);
  // The 64th drops the 1st.
  EXPECT_FLOAT_EQ(mtbe_add_event(id, stamp(64)), (63 * 63 - 1 + 127) / 8.0f / 63);
  EXPECT_EQ(mtbe_count(id), 63);
  for (int k = 65; k <= 200; k++) mtbe_add_event(id, stamp(k));
  EXPECT_EQ(mtbe_count(id), 63);
  float sum = 0;
  for (int k = 138; k <= 200; k++) sum += (2 * k - 1) / 8.0f;
  EXPECT_FLOAT_EQ(mtbe_sum[id], sum);
  float span = stamp(200) + 1 - stamp(138);  // the oldest stored event is the 138th
  EXPECT_FLOAT_EQ(mtbe_rate(id, stamp(200) + 1), 63 / span);
}

TEST_F(MtbeTest, RateAndMeanOfFewEvents) {
  int id = mtbe_create(64, 0.0f);
  EXPECT_EQ(mtbe_rate(id, 5.0f), 0.0f);
  EXPECT_FLOAT_EQ(mtbe_mean(id, 5.0f), 5.0f);
  EXPECT_FLOAT_EQ(mtbe_mean(id, 9.0f), 9.0f);
  mtbe_add_event(id, 2.0f);
  EXPECT_FLOAT_EQ(mtbe_add_event(id, 2.0f), 1.0f);  // the second interval is 0
  EXPECT_FLOAT_EQ(mtbe_rate(id, 2.0f), 2.0f);       // a span of 0 counts as 1 s
  EXPECT_FLOAT_EQ(mtbe_rate(id, 6.0f), 0.5f);
  EXPECT_FLOAT_EQ(mtbe_mean(id, 6.0f), 2.0f);  // (4 open + 2 stored) / 3
}

TEST_F(MtbeTest, FullTableRefusesAndNoTrackIsHarmless) {
  for (int i = 0; i < MAXTRACKS; i++) ASSERT_EQ(mtbe_create(64, 0.0f), i);
  mtbe_add_event(MAXTRACKS - 1, 3.0f);
  testing::internal::CaptureStdout();
  EXPECT_EQ(mtbe_create(64, 0.0f), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u);
  EXPECT_EQ(mtbe_numtracks, MAXTRACKS);
  EXPECT_EQ(mtbe_add_event(-1, 5.0f), 0.0f);
  EXPECT_EQ(mtbe_count(-1), 0);
  EXPECT_EQ(mtbe_rate(-1, 5.0f), 0.0f);
  EXPECT_EQ(mtbe_mean(-1, 5.0f), 0.0f);
  EXPECT_EQ(mtbe_count(MAXTRACKS - 1), 1);
  EXPECT_EQ(mtbe_last[MAXTRACKS - 1], 3.0f);
}

TEST_F(MtbeTest, UnusableSizesAndStrayIdsAreRefused) {
  EXPECT_EQ(mtbe_create(1, 0.0f), -1);  // could hold no event at all
  EXPECT_EQ(mtbe_create(0, 0.0f), -1);
  EXPECT_EQ(mtbe_create(MTBE_MAXSIZE + 1, 0.0f), -1);
  EXPECT_EQ(mtbe_numtracks, 0);
  EXPECT_EQ(mtbe_create(2, 0.0f), 0);
  EXPECT_DEATH(mtbe_add_event(1, 0.0f), "i >= 0 && i < mtbe_numtracks");
  EXPECT_DEATH(mtbe_add_event(-2, 0.0f), "i >= 0 && i < mtbe_numtracks");
  // A track whose rings are gone names the ring in the assertion's text.
  EXPECT_DEATH((dup2(2, 1), mtbe_ival[0] = nullptr, mtbe_add_event(0, 1.0f)),
               "  mtbe_ival\\[ i \\]\n");
  EXPECT_DEATH((dup2(2, 1), mtbe_stmp[0] = nullptr, mtbe_add_event(0, 1.0f)),
               "  mtbe_stmp\\[ i \\]\n");
}

TEST_F(MtbeTest, SaveAndLoadKeepIdsAndStartEmptyAtTheLoadTime) {
  int sizes[] = {64, 16, 64};
  for (int s : sizes) mtbe_create(s, 1.0f);
  mtbe_add_event(1, 4.0f);
  FILE* f = tmpfile();
  ASSERT_TRUE(mtbe_serialize(1, f, 5.0f));
  fputs("crowd_sz 7\n", f);  // the next section
  rewind(f);
  char text[128] = {};
  ASSERT_GT(fread(text, 1, sizeof text - 1, f), 0u);
  EXPECT_STREQ(text, "mtbe_numtracks 3\nmtbe_size\n64\n16\n64\ncrowd_sz 7\n");

  mtbe_clear();
  mtbe_create(8, 0.0f);
  rewind(f);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(mtbe_serialize(0, f, 100.0f));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Cleared 1 event tracks.\nLoading 3 tracks.\n");
  ASSERT_EQ(mtbe_numtracks, 3);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(mtbe_size[i], sizes[i]);
    EXPECT_EQ(mtbe_count(i), 0);
    EXPECT_EQ(mtbe_last[i], 100.0f);
  }
  int n = 0;
  EXPECT_EQ(fscanf(f, "crowd_sz %d\n", &n), 1);  // the stream stops at the next section
  EXPECT_EQ(n, 7);
  fclose(f);
}

TEST_F(MtbeTest, DamagedSectionChangesNothing) {
  const char* damaged[] = {
      "mtbe_numtracks 1025\nmtbe_size\n",
      "mtbe_numtracks -1\nmtbe_size\n",
      "mtbe_numtracks x\n",
      "mtbe_numtracks 1\ncrowd_sz 4\n64\n",
      "mtbe_numtracks 2\nmtbe_size\n64\n",
      "mtbe_numtracks 2\nmtbe_size\n64\n1\n",
      "mtbe_numtracks 1\nmtbe_size\n99999999\n",
      "",
  };
  int id = mtbe_create(64, 0.0f);
  mtbe_add_event(id, 1.0f);
  for (const char* text : damaged) {
    FILE* f = fmemopen((void*)text, strlen(text) + 1, "r");
    testing::internal::CaptureStdout();
    EXPECT_FALSE(mtbe_serialize(0, f, 50.0f)) << text;
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u) << text;
    fclose(f);
    EXPECT_EQ(mtbe_numtracks, 1);
    EXPECT_EQ(mtbe_count(id), 1);
  }
}

}  // namespace
