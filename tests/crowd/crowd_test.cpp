#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <string>
#include <thread>

#include "crowd.h"
#include "fresh_crowd.h"

namespace {

const int CELL = 20 * GRIDSZ + 10;  // an interior cell, (10, 20)

// The terrain the crowd is bound to in these tests.
uint8_t ground[GRIDCELLS];
float ground_costw[GRIDCELLS], ground_coste[GRIDCELLS], ground_costn[GRIDCELLS],
    ground_costs[GRIDCELLS];

// A crowd with no members on open ground of step cost 1.
struct CrowdTest : ::testing::Test {
  float flowx[GRIDCELLS], flowy[GRIDCELLS];

  void SetUp() override {
    fresh_crowd();
    crowd_bind_terrain(ground, ground_costw, ground_coste, ground_costn, ground_costs);
    memset(ground, 0, sizeof ground);
    for (float* g : {ground_costw, ground_coste, ground_costn, ground_costs, crowd_costw,
                     crowd_coste, crowd_costn, crowd_costs})
      std::fill(g, g + GRIDCELLS, 1.0f);
    std::fill(flowx, flowx + GRIDCELLS, 0.0f);
    std::fill(flowy, flowy + GRIDCELLS, 0.0f);
  }
  void TearDown() override { fresh_crowd(); }

  // Adds a member at (x, y) in job state goal and splats the crowd.
  int place(float x, float y, uint32_t goal, float vx = 0, float vy = 0) {
    int i = crowd_sz;
    crowd_add(0);
    crowd_posx[i] = x;
    crowd_posy[i] = y;
    crowd_velx[i] = vx;
    crowd_vely[i] = vy;
    crowd_goal[i] = goal;
    crowd_splat();
    return i;
  }

  void setflow(int c, float fx, float fy) {
    flowx[c] = fx;
    flowy[c] = fy;
  }

  void expect_dir(int i, float x, float y) {
    EXPECT_FLOAT_EQ(crowd_dirx[i], x);
    EXPECT_FLOAT_EQ(crowd_diry[i], y);
  }

  void move(double dt, int t) {
    crowd_move_group(dt, t, flowx, flowy, crowd_costw, crowd_coste, crowd_costn, crowd_costs);
  }
};

TEST_F(CrowdTest, AddAppendsInTheTradesFetchState) {
  for (int trade = 0; trade < 4; trade++) crowd_add(trade);
  ASSERT_EQ(crowd_sz, 4);
  for (int i = 0; i < 4; i++) {
    EXPECT_EQ(crowd_trade[i], (uint32_t)i);
    EXPECT_EQ(crowd_goal[i], (uint32_t)(2 * i + 1));
  }
  EXPECT_DEATH(crowd_add(4), "trade >= 0");
  crowd_sz = CROWDSZ;
  // The log line (sent to standard error here) shows the text as written.
  EXPECT_DEATH((dup2(2, 1), crowd_add(0)), "  crowd_sz \\+ cnt <= CROWDSZ\n");
}

TEST_F(CrowdTest, SplatCountsMembersAndAveragesSharedCellsOnly) {
  place(10.25f, 20.75f, 1, 1.0f, 0.0f);
  place(10.5f, 20.5f, 1, 3.0f, 2.0f);
  int lone = place(11.5f, 20.5f, 1, 5.0f, 5.0f);
  int wrapped = place(130.25f, 3.5f, 1);
  EXPECT_EQ(crowd_cidx[0], CELL);
  EXPECT_FLOAT_EQ(crowd_fracx[0], 0.25f);
  EXPECT_FLOAT_EQ(crowd_fracy[0], 0.75f);
  EXPECT_EQ(crowd_density[CELL], 2u);
  EXPECT_FLOAT_EQ(crowd_avgvx[CELL], 2.0f);
  EXPECT_FLOAT_EQ(crowd_avgvy[CELL], 1.0f);
  EXPECT_EQ(crowd_density[crowd_cidx[lone]], 1u);
  EXPECT_EQ(crowd_avgvx[crowd_cidx[lone]], 0.0f);
  EXPECT_EQ(crowd_avgvy[crowd_cidx[lone]], 0.0f);
  EXPECT_EQ(crowd_cidx[wrapped], 3 * GRIDSZ + 2);
  EXPECT_FLOAT_EQ(crowd_fracx[wrapped], 0.25f);
}

TEST_F(CrowdTest, CostsAddDensityAndCounterFlow) {
  ground_costw[CELL] = 2.0f;
  ground_coste[CELL] = 3.0f;
  ground_costn[CELL] = 4.0f;
  ground_costs[CELL] = FLT_UNDF;
  int north = CELL + 5;
  int lone = CELL + 9;
  place(10.5f, 20.5f, 1, 1.0f, 0.0f);
  place(10.5f, 20.5f, 1, 1.0f, 0.0f);
  place(15.5f, 20.5f, 1, 0.0f, -1.0f);
  place(15.5f, 20.5f, 1, 0.0f, -1.0f);
  place(15.5f, 20.5f, 1, 0.0f, -1.0f);
  place(19.5f, 20.5f, 1, 4.0f, 4.0f);
  crowd_compute_costs(crowd_costw, crowd_coste, crowd_costn, crowd_costs);
  // Two walking east at speed 1: stepping west goes against them.
  EXPECT_FLOAT_EQ(crowd_costw[CELL], 2.0f + 0.4f + 7.0f);
  EXPECT_FLOAT_EQ(crowd_coste[CELL], 3.0f + 0.4f);
  EXPECT_FLOAT_EQ(crowd_costn[CELL], 4.0f + 0.4f);
  EXPECT_EQ(crowd_costs[CELL], FLT_UNDF);  // a wall stays a wall
  // Three walking north at speed 1: stepping south goes against them.
  EXPECT_FLOAT_EQ(crowd_costs[north], 1.0f + 0.6f + 10.5f);
  EXPECT_FLOAT_EQ(crowd_costn[north], 1.0f + 0.6f);
  EXPECT_FLOAT_EQ(crowd_costw[north], 1.0f + 0.6f);
  // A lone walker adds its density but no flow.
  for (float* g : {crowd_costw, crowd_coste, crowd_costn, crowd_costs})
    EXPECT_FLOAT_EQ(g[lone], 1.2f);
  EXPECT_EQ(crowd_costw[CELL + 1], 1.0f);
}

TEST_F(CrowdTest, FlowFieldFollowsFallingPotentialAndNeverIntoClosedSides) {
  static float up[POTENTIALSZ], down[POTENTIALSZ], angle[GRIDCELLS];
  static uint8_t flags[GRIDCELLS];
  for (int c = 0; c < GRIDCELLS; c++) {
    up[c] = 3.0f * (c % GRIDSZ) + 4.0f * (c / GRIDSZ);  // falls towards the north-west
    down[c] = -up[c];
    flags[c] = 0x50 | 15;  // a cell type in the high bits must not count as open sides
  }
  int open = CELL, nowest = CELL + 1, nonorth = CELL + 2, noeast = CELL + 3, closed = CELL + 4;
  flags[nowest] &= ~OPEN_W;
  flags[nonorth] &= ~OPEN_N;
  flags[noeast] &= ~OPEN_E;
  flags[closed] = 0;
  crowd_flow_field(up, flags, flowx, flowy, angle);
  EXPECT_FLOAT_EQ(flowx[open], -0.6f);
  EXPECT_FLOAT_EQ(flowy[open], -0.8f);
  EXPECT_FLOAT_EQ(angle[open], atan2f(-0.8f, -0.6f));
  EXPECT_FLOAT_EQ(flowx[nowest], 0.0f);  // would point into the closed west side
  EXPECT_FLOAT_EQ(flowy[nowest], -1.0f);
  EXPECT_FLOAT_EQ(flowx[nonorth], -1.0f);
  EXPECT_FLOAT_EQ(flowy[nonorth], 0.0f);
  EXPECT_FLOAT_EQ(flowx[noeast], -3.0f / sqrtf(73.0f));  // one-sided difference
  EXPECT_FLOAT_EQ(flowy[noeast], -8.0f / sqrtf(73.0f));
  EXPECT_EQ(flowx[closed], 0.0f);
  EXPECT_EQ(flowy[closed], 0.0f);
  EXPECT_EQ(angle[closed], 0.0f);
  // Neighbours wrap around the grid: cell 0 sees (127, 0) west and (0, 127) north.
  float dx = up[GRIDCELLS - 1] - up[1], dy = up[GRIDCELLS - GRIDSZ] - up[GRIDSZ];
  EXPECT_FLOAT_EQ(flowx[0], dx / sqrtf(dx * dx + dy * dy));

  crowd_flow_field(down, flags, flowx, flowy, angle);
  EXPECT_FLOAT_EQ(flowx[nowest], 3.0f / sqrtf(73.0f));  // away from the closed side is fine
  EXPECT_FLOAT_EQ(flowy[nowest], 8.0f / sqrtf(73.0f));
  EXPECT_FLOAT_EQ(flowx[noeast], 0.0f);
}

// The directions are worked out eight cells at a time inside the grid and one
// by one on its first and last rows; either way every cell must get exactly
// the value of the one-cell rule, and the angle grid made on demand exactly
// the one the flow field writes when asked.
TEST_F(CrowdTest, FlowFieldEightAtATimeMatchesTheCellRuleBitForBit) {
  static float pot[POTENTIALSZ], angle[GRIDCELLS], demand[GRIDCELLS];
  static uint8_t flags[GRIDCELLS];
  uint32_t r = 12345;
  auto next = [&r] { return r = r * 1664525u + 1013904223u; };
  for (int c = 0; c < GRIDCELLS; c++) {
    pot[c] = next() % 5 == 0 ? FLT_UNDF : (float)(next() % 100000) / 997.0f;
    if (c % 331 == 0) pot[c] = pot[(c + 1) & (GRIDCELLS - 1)];  // flat spots
    flags[c] = (uint8_t)(next() & 0xff);
  }
  crowd_flow_field(pot, flags, flowx, flowy, angle);
  crowd_flow_angle(pot, flags, demand);
  int wrong = 0, first = -1;
  for (int c = 0; c < GRIDCELLS; c++) {
    auto at = [&](int d) { return pot[(c + d) & (GRIDCELLS - 1)]; };
    auto slope = [&](float low, float high, bool lo, bool hi) {
      if (!lo && !hi) return 0.0f;
      float d = !lo ? pot[c] - high : !hi ? low - pot[c] : low - high;
      return (!lo && d < 0.0f) || (!hi && d > 0.0f) ? 0.0f : d;
    };
    const float dx = slope(at(-1), at(1), flags[c] & OPEN_W, flags[c] & OPEN_E);
    const float dy = slope(at(-GRIDSZ), at(GRIDSZ), flags[c] & OPEN_N, flags[c] & OPEN_S);
    const float sq = dx * dx + dy * dy, len = sq > 0.0f ? sqrtf(sq) : 1.0f;
    const float fx = dx / len, fy = dy / len;
    const bool bad = memcmp(&fx, &flowx[c], 4) || memcmp(&fy, &flowy[c], 4) ||
                     angle[c] != atan2f(fy, fx) || memcmp(&angle[c], &demand[c], 4);
    wrong += bad;
    if (bad && first < 0) first = c;
  }
  EXPECT_EQ(wrong, 0) << "first at cell " << first;
}

TEST_F(CrowdTest, MoveGroupMovesOnlyItsStateAndTimesEveryone) {
  std::fill(flowx, flowx + GRIDCELLS, 0.6f);
  std::fill(flowy, flowy + GRIDCELLS, 0.8f);
  int follower = place(10.5f, 20.5f, 3);
  int other = place(30.5f, 40.5f, 4);
  int dead = place(50.5f, 60.5f, 12);
  crowd_time[dead] = 2.0;
  move(0.5, 2);
  expect_dir(follower, 0.6f, 0.8f);
  EXPECT_FLOAT_EQ(crowd_posx[follower], 10.8f);
  EXPECT_FLOAT_EQ(crowd_posy[follower], 20.9f);
  EXPECT_EQ(crowd_posx[other], 30.5f);
  EXPECT_EQ(crowd_posy[other], 40.5f);
  EXPECT_EQ(crowd_dirx[other], 0.0f);
  EXPECT_EQ(crowd_posx[dead], 50.5f);
  EXPECT_EQ(crowd_time[follower], 0.5);
  EXPECT_EQ(crowd_time[other], 0.5);
  EXPECT_EQ(crowd_time[dead], 2.5);
}

TEST_F(CrowdTest, MoveBlendsTheFourNearestCells) {
  // East of centre and north of it: neighbours east, north and north-east.
  int i = place(10.75f, 20.25f, 1);
  setflow(CELL, 1, 0);
  setflow(CELL + 1, 0, 0);
  setflow(CELL - GRIDSZ, -1, 0);
  setflow(CELL - GRIDSZ + 1, 0, 1);
  move(0.0, 0);
  // x: 0.5625 - 0.1875, y: 0.0625
  float len = sqrtf(0.375f * 0.375f + 0.0625f * 0.0625f);
  expect_dir(i, 0.375f / len, 0.0625f / len);
}

TEST_F(CrowdTest, WallKeepsTheMoveOnTheCellsCentreLine) {
  int i = place(10.25f, 20.375f, 1);  // west and north of centre
  setflow(CELL, 1, 0);
  setflow(CELL - 1, 0, 1);  // behind the wall
  setflow(CELL - GRIDSZ, 0, -1);
  setflow(CELL - GRIDSZ - 1, 0, 1);
  crowd_costw[CELL] = FLT_UNDF;
  move(0.0, 0);
  float wy = 0.125f, len = sqrtf((1 - wy) * (1 - wy) + wy * wy);
  expect_dir(i, (1 - wy) / len, -wy / len);

  crowd_costn[CELL] = FLT_UNDF;
  move(0.0, 0);
  expect_dir(i, 1.0f, 0.0f);
}

TEST_F(CrowdTest, MemberAtTheCentreTakesItsOwnCellUnblended) {
  int i = place(10.5f, 20.5f, 1);
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  setflow(CELL, 0, -1);
  std::fill(ground, ground + GRIDCELLS, 9);
  ground[CELL] = 4;
  move(0.0, 0);
  crowd_sample_height();
  expect_dir(i, 0.0f, -1.0f);
  EXPECT_FLOAT_EQ(crowd_groundz[i], 0.6f);
}

TEST_F(CrowdTest, WeakFlowGivesAShortDirectionNotADivisionByZero) {
  int weak = place(10.5f, 20.5f, 1);
  int still = place(30.5f, 20.5f, 1);
  setflow(CELL, 0.00005f, 0);
  move(1.0, 0);
  expect_dir(weak, 0.5f, 0.0f);
  EXPECT_FLOAT_EQ(crowd_posx[weak], 11.0f);
  expect_dir(still, 0.0f, 0.0f);
  EXPECT_EQ(crowd_posx[still], 30.5f);
}

TEST_F(CrowdTest, GroundIsFlatInsideAndSmoothTowardsTheEdges) {
  ground[CELL] = 10;
  ground[CELL + 1] = 20;
  ground[CELL - 1] = 30;
  ground[CELL - GRIDSZ] = 40;
  ground[CELL - GRIDSZ - 1] = 50;
  place(10.75f, 20.4f, 1);   // inner 0.6: flat
  place(10.875f, 20.5f, 1);  // 0.375 from centre: t = 0.1875
  place(10.0f, 20.5f, 1);    // west edge: half way
  place(10.0f, 20.0f, 1);    // north-west corner: a quarter each
  crowd_sample_height();
  float s = 0.1875f * 0.1875f * 2.625f;
  EXPECT_FLOAT_EQ(crowd_groundz[0], 1.5f);
  EXPECT_FLOAT_EQ(crowd_groundz[1], 0.15f * (10 * (1 - s) + 20 * s));
  EXPECT_FLOAT_EQ(crowd_groundz[2], 0.15f * 20);
  EXPECT_FLOAT_EQ(crowd_groundz[3], 0.15f * 32.5f);
}

struct CrowdSaveTest : CrowdTest {
  FILE* bin = nullptr;
  void SetUp() override {
    CrowdTest::SetUp();
    bin = tmpfile();
    ASSERT_NE(bin, nullptr);
    for (int i = 0; i < 3; i++) {
      crowd_add(i);
      crowd_posx[i] = 10.5f + i;
      crowd_posy[i] = 20.25f + i;
      crowd_time[i] = 100.125 * (i + 1);
      crowd_phase[i] = 0.5f * i;
    }
    crowd_goal[2] = 12;
  }
  void TearDown() override {
    fclose(bin);
    CrowdTest::TearDown();
  }

  void write_and_wipe() {
    ASSERT_TRUE(crowd_serialize(1, bin));
    for (int i = 0; i < 3; i++) {
      crowd_posx[i] = crowd_posy[i] = crowd_phase[i] = -1.0f;
      crowd_time[i] = -1.0;
      crowd_goal[i] = crowd_trade[i] = 0;
    }
    rewind(bin);
  }

  void poke(long offset, const void* value, size_t size) {
    fseek(bin, offset, SEEK_SET);
    fwrite(value, size, 1, bin);
    rewind(bin);
  }

  // Reading fails, says so, and leaves the wiped members as they were.
  void expect_refused() {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(crowd_serialize(0, bin));
    std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log.rfind("ERR ", 0), 0u) << log;
    EXPECT_EQ(crowd_posx[0], -1.0f);
    EXPECT_EQ(crowd_time[2], -1.0);
    EXPECT_EQ(crowd_goal[1], 0u);
  }
};

TEST_F(CrowdSaveTest, RoundTripKeepsSavedFieldsInTheirLayout) {
  write_and_wipe();
  fseek(bin, 0, SEEK_END);
  EXPECT_EQ(ftell(bin), 3 * 28);
  double time1;
  fseek(bin, 3 * 4 * 2 + 8, SEEK_SET);  // posx, posy, then time of member 1
  ASSERT_EQ(fread(&time1, sizeof time1, 1, bin), 1u);
  EXPECT_EQ(time1, 200.25);
  rewind(bin);
  ASSERT_TRUE(crowd_serialize(0, bin));
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(crowd_posx[i], 10.5f + i);
    EXPECT_EQ(crowd_posy[i], 20.25f + i);
    EXPECT_EQ(crowd_time[i], 100.125 * (i + 1));
    EXPECT_EQ(crowd_phase[i], 0.5f * i);
    EXPECT_EQ(crowd_trade[i], (uint32_t)i);
  }
  EXPECT_EQ(crowd_goal[1], 3u);
  EXPECT_EQ(crowd_goal[2], 12u);
}

TEST_F(CrowdSaveTest, EmptyCrowdReadsAndWritesNothing) {
  crowd_sz = 0;
  EXPECT_TRUE(crowd_serialize(1, bin));
  EXPECT_EQ(ftell(bin), 0);
  EXPECT_TRUE(crowd_serialize(0, bin));
  EXPECT_EQ(crowd_posx[0], 10.5f);
}

TEST_F(CrowdSaveTest, DamagedBlockIsRefusedWhole) {
  write_and_wipe();
  crowd_sz = CROWDSZ + 1;
  expect_refused();
  crowd_sz = -1;
  expect_refused();
  EXPECT_EQ(ftell(bin), 0);  // refused before touching the stream
  crowd_sz = 4;              // one member more than the block holds
  expect_refused();
  crowd_sz = 3;
  uint32_t goal = 10, trade = 4;
  float nan = NAN;
  poke(3 * (4 + 4 + 8 + 4) + 4, &goal, sizeof goal);  // member 1's goal
  expect_refused();
  goal = 3;
  poke(3 * (4 + 4 + 8 + 4) + 4, &goal, sizeof goal);
  poke(3 * (4 + 4 + 8 + 4 + 4) + 8, &trade, sizeof trade);  // member 2's trade
  expect_refused();
  trade = 2;
  poke(3 * (4 + 4 + 8 + 4 + 4) + 8, &trade, sizeof trade);
  poke(3 * (4 + 4 + 8), &nan, sizeof nan);  // member 0's phase
  expect_refused();
  EXPECT_FALSE(crowd_serialize(0, nullptr));
}

// The two field jobs of a frame run at once; both add their step to every
// member's time, and neither may lose the other's.
struct FieldJobsCrowdTime : CrowdTest {};

TEST_F(FieldJobsCrowdTime, TwoJobsAtOnceCountEveryStep) {
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  std::fill(flowy, flowy + GRIDCELLS, 1.0f);
  for (int i = 0; i < 200; i++) place(20.5f + i % 50, 10.5f + i / 50, 1 + i % 2);
  const int rounds = 2000;
  const double dt0 = 1.0 / 1024, dt1 = 1.0 / 256;  // exact in any order of addition
  auto job = [this](double dt, int t) {
    for (int r = 0; r < rounds; r++) move(dt, t);
  };
  std::thread a(job, dt0, 0), b(job, dt1, 1);
  a.join();
  b.join();
  for (int i = 0; i < crowd_sz; i++) {
    ASSERT_EQ(crowd_time[i], rounds * (dt0 + dt1)) << "member " << i;
    double walked = rounds * (i % 2 ? dt1 : dt0) / sqrt(2.0);
    EXPECT_NEAR(crowd_posx[i], 20.5 + i % 50 + walked, 1e-2);
  }
}

}  // namespace
