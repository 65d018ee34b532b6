#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fresh_sim.h"
#include "stones.h"
#include "taxc.h"
#include "terrain_map.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_place.h"
#include "wld_start.h"
#include "wld_state.h"

namespace {

struct WldStartTest : ::testing::Test {
  // Tests run side by side in separate processes: one file each.
  const std::string tmp = ::testing::TempDir() + "wld_start_" + std::to_string(getpid()) + ".pgm";
  std::string path = tmp;

  void SetUp() override { fresh_sim(); }
  void TearDown() override {
    remove(tmp.c_str());
    fresh_sim();
  }

  // Grey level of cell c in the test maps: a gentle ramp eastwards, one
  // height step every 16 columns, with noise below a step.
  static int grey(size_t c) { return 128 + (int)(c % GRIDSZ / 16) * 4 + (int)(c % 4); }

  // A map file: header text, then `bytes` grey levels of the ramp or of g.
  void write_map(const char* header, size_t bytes, int (*g)(int x, int y) = nullptr) {
    FILE* f = fopen(tmp.c_str(), "wb");
    ASSERT_TRUE(f);
    fputs(header, f);
    for (size_t i = 0; i < bytes; i++) fputc(g ? g(i % GRIDSZ, i / GRIDSZ) : grey(i), f);
    fclose(f);
  }

  // Starts on the file and returns what it logged.
  bool start(std::string* log) {
    ::testing::internal::CaptureStdout();
    bool ok = wld_start_map(path.c_str());
    *log = ::testing::internal::GetCapturedStdout();
    return ok;
  }
};

TEST_F(WldStartTest, GoodMapStartsAWorldWithTheFirstOfficeAndWorkers) {
  write_map("P5\n128 128\n255\n", GRIDCELLS);
  std::string log;
  ASSERT_TRUE(start(&log));
  EXPECT_EQ(log.find("ERR"), std::string::npos) << log;
  for (int c : {grid_cidx(5, 5), grid_cidx(126, 1), grid_cidx(1, 126), grid_cidx(70, 90)})
    EXPECT_EQ(wld_height[c], 32 + c % GRIDSZ / 16) << c;
  for (int i = 0; i < GRIDSZ; i++)
    for (int c : {grid_cidx(i, 0), grid_cidx(i, 127), grid_cidx(0, i), grid_cidx(127, i)}) {
      EXPECT_EQ(wld_height[c], 0) << c;
      EXPECT_EQ(wld_cellflags[c], 0) << c;
    }
  EXPECT_EQ(taxc_count, 1);
  EXPECT_EQ(taxc_cidx[0], grid_cidx(61, 59));
  EXPECT_EQ(wld_cellflags[grid_cidx(61, 59)] >> 4, FOOD);
  EXPECT_EQ(taxc_silver, 200);
  EXPECT_EQ(wld_started, 1);
  EXPECT_EQ(wld_initialised, 1);
  for (int q = 0; q < TRADECNT; q++) EXPECT_EQ(spawnqueues[q], 1);
  EXPECT_EQ(stones_pyramid_level, 7);
}

TEST_F(WldStartTest, HeaderMaySeparateItsFieldsWithBlanksAndComments) {
  for (const char* header : {"P5 128 128 255 ", "P5\n# made by hand\n128 128\n255\n",
                             "P5 #a\n128 #b\n128\n#c\n255\n", "P5\n128 128 # size\n255\n"}) {
    write_map(header, GRIDCELLS);
    std::string log;
    EXPECT_TRUE(start(&log)) << header << log;
    EXPECT_EQ(log.find("ERR"), std::string::npos) << log;
    EXPECT_EQ(wld_height[grid_cidx(70, 90)], 32 + 70 / 16);
  }
}

// A bad file, or a map without land for the first office's walls, is refused
// with one line and the running game goes on; no building ever stands in the
// water.
TEST_F(WldStartTest, BadFilesAndMapsWithoutASiteAreRefusedAndLeaveTheWorldAlone) {
  write_map("P5\n128 128\n255\n", GRIDCELLS);
  std::string log;
  ASSERT_TRUE(start(&log));
  spawnqueues[0] = 5;
  std::vector<uint8_t> heights(wld_height, wld_height + GRIDCELLS);
  std::vector<uint8_t> flags(wld_cellflags, wld_cellflags + GRIDCELLS);
  const char* const NO_SITE = "has no site for the first tax office";
  struct Case {
    const char* header;  // nullptr: a FIFO
    size_t bytes;
    int (*grey)(int x, int y);  // nullptr: the ramp
    const char* says;
  } cases[] = {
      {"P2\n128 128\n255\n", GRIDCELLS, nullptr, "not a binary grey map"},    // text map
      {"P6\n128 128\n255\n", GRIDCELLS, nullptr, "not a binary grey map"},    // colour map
      {"P5\n128 128\n65535\n", GRIDCELLS, nullptr, "not a binary grey map"},  // 16-bit
      {"P5\n128 128\n2550", GRIDCELLS, nullptr, "not a binary grey map"},     // maxval runs on
      {"P5\n64 64\n255\n", 64 * 64, nullptr, "is 64x64"},
      {"P5\n128 127\n255\n", GRIDCELLS, nullptr, "is 128x127"},
      {"P5\n128 128\n255\n", GRIDCELLS - 1, nullptr, "truncated"},
      {"", 0, nullptr, "not a binary grey map"},
      {"P5\n128 128\n255\n", GRIDCELLS, [](int, int) { return 0; }, NO_SITE},  // all water
      {"P5\n128 128\n255\n", GRIDCELLS,                                        // office on a lake
       [](int x, int y) {
         return abs(x - WLD_FIRST_TAXC_X) <= 3 && abs(y - WLD_FIRST_TAXC_Y) <= 3 ? 0 : 140;
       },
       NO_SITE},
      {"P5\n128 128\n255\n", GRIDCELLS, [](int x, int) { return x <= WLD_FIRST_TAXC_X ? 40 : 200; },
       NO_SITE},  // office on a cliff
      {nullptr, 0, nullptr, "not a regular file"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header ? c.header : "fifo");
    remove(tmp.c_str());
    if (c.header)
      write_map(c.header, c.bytes, c.grey);
    else
      ASSERT_EQ(mkfifo(tmp.c_str(), 0644), 0);
    alarm(20);  // a FIFO must not hold the open
    EXPECT_FALSE(start(&log));
    alarm(0);
    EXPECT_EQ(log.rfind("ERR ", 0), 0u) << log;
    EXPECT_EQ(log.find("ERR ", 1), std::string::npos) << log;
    EXPECT_NE(log.find(c.says), std::string::npos) << log;
  }
  remove(tmp.c_str());
  EXPECT_FALSE(start(&log));
  EXPECT_NE(log.find("ERR Cannot open the terrain map"), std::string::npos) << log;

  EXPECT_EQ(memcmp(heights.data(), wld_height, GRIDCELLS), 0);
  EXPECT_EQ(memcmp(flags.data(), wld_cellflags, GRIDCELLS), 0);
  EXPECT_EQ(taxc_count, 1);
  EXPECT_EQ(spawnqueues[0], 5);
  EXPECT_EQ(wld_started, 1);
}

// The generated terrain must make the game playable and winnable.
struct TerrainTest : WldStartTest {
  // Cells a worker can walk to from (x, y) over passable edges.
  static std::vector<bool> reachable(int x, int y) {
    std::vector<bool> seen(GRIDCELLS, false);
    std::vector<int> todo{grid_cidx(x, y)};
    seen[todo[0]] = true;
    while (!todo.empty()) {
      int c = todo.back();
      todo.pop_back();
      const int step[4] = {-1, 1, -GRIDSZ, GRIDSZ};
      const float* cost[4] = {basecostw, basecoste, basecostn, basecosts};
      for (int k = 0; k < 4; k++)
        if (cost[k][c] < FLT_UNDF && !seen[c + step[k]]) {
          seen[c + step[k]] = true;
          todo.push_back(c + step[k]);
        }
    }
    return seen;
  }
};

TEST_F(TerrainTest, GeneratedMapIsPlayable) {
  path = terrain_map_path();
  std::string log;
  ASSERT_TRUE(start(&log)) << log;
  ASSERT_EQ(taxc_count, 1);
  std::vector<bool> seen = reachable(61, 59);

  int water = 0;
  for (int c = 0; c < GRIDCELLS; c++) water += seen[c] && (wld_cellflags[c] >> 4) == WATR;
  EXPECT_GE(water, 100);
  for (int y = 119; y <= 124; y++)
    for (int x = 119; x <= 124; x++) EXPECT_TRUE(seen[grid_cidx(x, y)]) << x << "," << y;
  for (int y = 62; y <= 74; y++)
    for (int x = 36; x <= 48; x++) EXPECT_TRUE(seen[grid_cidx(x, y)]) << x << "," << y;

  // Sites for every kind of building, with the placement rules of each.
  struct kind {
    int margin, ring, want;
  } kinds[] = {{2, 0, 200}, {1, 1, 200}};  // farms and huts, bakeries and offices
  ctrl_footprint = 3;
  for (const kind& k : kinds) {
    ctrl_placemargin = k.margin;
    int sites = 0, near_water = 0, top;
    for (int y = 2; y < GRIDSZ - 2; y++)
      for (int x = 2; x < GRIDSZ - 2; x++)
        if (seen[grid_cidx(x, y)] && wld_can_place(x, y, k.ring, &top)) {
          sites++;
          near_water += y < 40;
        }
    EXPECT_GE(sites, k.want) << k.margin;
    EXPECT_GE(near_water, 40) << k.margin;
  }

  // The first office's own site passes the office's test on a fresh world.
  wld_init();
  ctrl_placemargin = 1;
  int top = -1;
  EXPECT_TRUE(wld_can_place(61, 59, 1, &top));
  EXPECT_EQ(top, wld_height[grid_cidx(61, 59)]);
}

TEST_F(TerrainTest, EachFinishedLayerLowersThePyramidLevel) {
  path = terrain_map_path();
  std::string log;
  ASSERT_TRUE(start(&log)) << log;
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 7);
  for (int layer = 0; layer < 7; layer++) {
    // All but one cell of the layer built: not yet.
    for (int y = 62 + layer; y <= 74 - layer; y++)
      for (int x = 36 + layer; x <= 48 - layer; x++)
        if (x != 42 || y != 68) wld_height[grid_cidx(x, y)] += STONE_STEP;
    EXPECT_EQ(stones_compute_pyramid_level(wld_height), 7 - layer) << layer;
    wld_height[grid_cidx(42, 68)] += STONE_STEP;
    EXPECT_EQ(stones_compute_pyramid_level(wld_height), 6 - layer) << layer;
  }
}

}  // namespace
