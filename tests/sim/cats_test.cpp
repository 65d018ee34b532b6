#include "cats.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <set>
#include <string>
#include <thread>

#include "crowd.h"
#include "wld_site.h"

namespace {

const float PI = (float)M_PI;

// A flat walled site of height 5 with its space, no workers, no cats; field
// 9's flow grids zero and the cats' flags a fresh copy of the cell flags.
struct CatsTest : WorldTest {
  float flowx[GRIDCELLS], flowy[GRIDCELLS];

  void SetUp() override {
    fresh_sim();
    site_flat(5);
    site_build();
    memcpy(wld_catflags, wld_cellflags, sizeof wld_catflags);
    std::fill(flowx, flowx + GRIDCELLS, 0.0f);
    std::fill(flowy, flowy + GRIDCELLS, 0.0f);
  }

  // A worker standing on cell (x, y), as the splat leaves it.
  int worker_at(int x, int y) {
    int i = crowd_sz;
    crowd_add(0);
    crowd_cidx[i] = grid_cidx(x, y);
    return i;
  }

  int cat_on_cell(int x, int y) {
    int i = cats_add(x + 0.5f, y + 0.5f, 0.75f);
    cats_update_heights();
    return i;
  }

  void mark_target_cell(int x, int y) { wld_catflags[grid_cidx(x, y)] |= CATT << 4; }

  void update(float dt = 0.05f) {
    cats_update(dt, flowx, flowy, basecostw, basecoste, basecostn, basecosts);
  }
};

using CatsTargets = CatsTest;

TEST_F(CatsTargets, AddPicksDistinctWorkersUntilTheListIsFull) {
  for (int i = 0; i < 5 * MAXCATTGTS; i++) worker_at(10, 10);  // one target per five
  std::set<int> seen;
  for (int t = 0; t < MAXCATTGTS; t++) {
    int w = cats_add_target();
    ASSERT_TRUE(w >= 0 && w < crowd_sz && seen.insert(w).second) << w;
    EXPECT_TRUE(cats_tgt[t] == w && cats_tgt_value[t] == 0.0f);
  }
  EXPECT_EQ(cats_add_target(), -1);
  EXPECT_EQ(cats_tgt_count, MAXCATTGTS);
}

TEST_F(CatsTargets, TheLastFreeWorkerIsFoundAndNoneBeyondIt) {
  for (int i = 0; i < 5; i++) worker_at(10, 10);
  std::set<int> seen;
  for (int t = 0; t < 5; t++) seen.insert(cats_add_target());
  EXPECT_EQ(seen, (std::set<int>{0, 1, 2, 3, 4}));
  EXPECT_DEATH(cats_add_target(), "cats_tgt_count < crowd_sz");
}

TEST_F(CatsTargets, RemovingMovesTheLastTargetIntoTheCursorsPlace) {
  for (int i = 0; i < 10; i++) worker_at(10, 10);
  for (int t = 0; t < 4; t++) cats_add_target();
  int first = cats_tgt[0], last = cats_tgt[3];
  cats_tgt_value[3] = -7.0f;
  cats_tgt_cursor = 1;
  cats_remove_target();
  EXPECT_EQ(cats_tgt_count, 3);
  EXPECT_TRUE(cats_tgt[0] == first && cats_tgt[1] == last && cats_tgt_value[1] == -7.0f);
  cats_tgt_cursor = 3;
  EXPECT_DEATH(cats_remove_target(), "t < cats_tgt_count");
}

TEST_F(CatsTargets, ValueSinksByTheWeightedCatsAround) {
  worker_at(30, 40);
  cats_add_target();
  cat_on_cell(30, 40);  // own cell: 5
  cat_on_cell(31, 40);  // side: 3
  cat_on_cell(29, 39);  // corner: 2
  cat_on_cell(29, 39);
  cat_on_cell(32, 40);  // two cells away: nothing
  cats_build_target_field();
  EXPECT_FLOAT_EQ(cats_tgt_value[0], -0.2f * (5 + 3 + 2 * 2));
  EXPECT_EQ(cats_cellcount[grid_cidx(29, 39)], 2);
  cats_build_target_field();
  EXPECT_NEAR(cats_tgt_value[0], 0.9f * -2.4f - 2.4f, 1e-5);

  while (cats_add(30.5f, 40.5f, 0.75f) >= 0) continue;
  std::fill(cats_cidx, cats_cidx + MAXCATS, grid_cidx(30, 40));
  cats_build_target_field();
  EXPECT_EQ(cats_cellcount[grid_cidx(30, 40)], 255) << "a full cell must not read as empty";
}

TEST_F(CatsTargets, TargetOnTheOuterRingSeesNoCatsBeyondTheGrid) {
  worker_at(0, 5);
  cats_add_target();
  cat_on_cell(1, 5);    // its east side
  cat_on_cell(127, 3);  // where c - 129, c - 1 and c + 127 would wrap to
  cat_on_cell(127, 4);
  cat_on_cell(127, 5);
  cats_build_target_field();
  EXPECT_FLOAT_EQ(cats_tgt_value[0], -0.6f);
}

TEST_F(CatsTargets, FieldStampsEachTargetCellAndAddsUpSharedCells) {
  worker_at(20, 20);
  worker_at(20, 20);
  worker_at(50, 60);
  for (int t = 0; t < 3; t++) cats_add_target();
  // Workers 0, 1, 2 get -1, -2, -10, which the build decays by 0.9.
  for (int t = 0; t < 3; t++) cats_tgt_value[t] = cats_tgt[t] == 2 ? -10.0f : -1.0f - cats_tgt[t];
  wld_catweight[grid_cidx(70, 70)] = 3.0f;  // left from an earlier update
  uint8_t open = wld_catflags[grid_cidx(20, 20)] & 15;

  cats_build_target_field();
  EXPECT_FLOAT_EQ(wld_catweight[grid_cidx(20, 20)], -2.7f);
  EXPECT_FLOAT_EQ(wld_catweight[grid_cidx(50, 60)], -9.0f);
  EXPECT_EQ(wld_catweight[grid_cidx(70, 70)], 0.0f);
  EXPECT_EQ(wld_catflags[grid_cidx(20, 20)], (CATT << 4) | open);
  EXPECT_EQ(wld_catflags[grid_cidx(50, 60)] >> 4, CATT);
  EXPECT_EQ(wld_cellflags[grid_cidx(20, 20)] >> 4, 0) << "only the cats' copy is stamped";
  int stamped = 0;
  for (int i = 0; i < GRIDCELLS; i++) stamped += wld_catflags[i] >> 4 == CATT;
  EXPECT_EQ(stamped, 2);
}

TEST_F(CatsTargets, FiveCatsOnATargetGetItDroppedWhenTheCursorComesRound) {
  worker_at(30, 40);
  worker_at(90, 90);
  cats_add_target();
  cats_add_target();
  int crowded = cats_tgt[0] == 0 ? 0 : 1;
  int quiet_worker = cats_tgt[1 - crowded];
  for (int i = 0; i < 5; i++) cat_on_cell(30, 40);
  mark_target_cell(30, 40);  // the cats sit there: the mover's steps change nothing else

  for (int n = 0; n < 3; n++) cats_build_target_field();
  EXPECT_NEAR(cats_tgt_value[crowded], -13.55f, 1e-4);
  update();
  update();
  EXPECT_EQ(cats_tgt_count, 2) << "-13.55 is not below -15 yet";

  cats_build_target_field();
  EXPECT_NEAR(cats_tgt_value[crowded], -17.195f, 1e-4);
  update();
  update();
  EXPECT_EQ(cats_tgt_count, 1);
  EXPECT_EQ(cats_tgt[0], quiet_worker);
  EXPECT_EQ(cats_tgt_value[0], 0.0f);
}

using CatsMover = CatsTest;

TEST_F(CatsMover, WalkingCatRunsAlongTheField) {
  int i = cat_on_cell(40, 40);
  cats_create_bodies();
  cpBodySetAngle(cats_body[i], 0.0);
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  update();
  EXPECT_FLOAT_EQ(cats_dirx[i], 1.0f);
  EXPECT_FLOAT_EQ(cats_diry[i], 0.0f);
  cpVect v = cpBodyGetVelocity(cats_body[i]);
  EXPECT_NEAR(v.x, 1.6, 1e-9);
  EXPECT_NEAR(v.y, 0.0, 1e-9);
  EXPECT_NEAR(cpBodyGetAngularVelocity(cats_body[i]), 0.0, 0.01);

  // Half the old velocity is kept: (0.8 + 0, 0 + 0.5) scaled to 1.6.
  std::fill(flowx, flowx + GRIDCELLS, 0.0f);
  std::fill(flowy, flowy + GRIDCELLS, 1.0f);
  cpBodySetAngle(cats_body[i], PI / 4);
  update();
  v = cpBodyGetVelocity(cats_body[i]);
  EXPECT_NEAR(cpvlength(v), 1.6, 1e-9);
  EXPECT_NEAR(v.y / v.x, 0.5 / 0.8, 1e-9);
  EXPECT_NEAR(cpBodyGetAngularVelocity(cats_body[i]), 2 * (PI / 4), 0.01);
}

TEST_F(CatsMover, ACatFacingAwayTurnsOnTheSpot) {
  int i = cat_on_cell(40, 40);
  cats_create_bodies();
  cpBodySetAngle(cats_body[i], PI);            // facing west
  cpBodySetVelocity(cats_body[i], cpv(0, 1));  // would blend to (0.5, 0.5)
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  update();
  EXPECT_TRUE(cpveql(cpBodyGetVelocity(cats_body[i]), cpvzero));
  EXPECT_NEAR(std::fabs(cpBodyGetAngularVelocity(cats_body[i])), 2 * PI, 0.01);

  // Heading error wraps: facing 3 rad, going at -3 rad is 0.28 rad to the left.
  cpBodySetAngle(cats_body[i], 3.0);
  std::fill(flowx, flowx + GRIDCELLS, cosf(-3.0f));
  std::fill(flowy, flowy + GRIDCELLS, sinf(-3.0f));
  update();
  // The fast arctangent is good to about 0.01 rad on each angle.
  EXPECT_NEAR(cpBodyGetAngularVelocity(cats_body[i]), 2 * (2 * PI - 6.0f), 0.05);
  EXPECT_GT(cpvlength(cpBodyGetVelocity(cats_body[i])), 1.5);
}

TEST_F(CatsMover, BlendLeansOnNeighboursButNotThroughWalls) {
  // Cell (40, 40) flows east, its west neighbour south. A cat in the west
  // third of the cell (fx = 0.2) takes 0.3 of the neighbour.
  int i = cats_add(40.2f, 40.5f, 0.75f);
  flowx[grid_cidx(40, 40)] = 1.0f;
  flowy[grid_cidx(39, 40)] = 1.0f;
  update();
  float len = std::sqrt(0.7f * 0.7f + 0.3f * 0.3f);
  EXPECT_NEAR(cats_dirx[i], 0.7f / len, 1e-5);
  EXPECT_NEAR(cats_diry[i], 0.3f / len, 1e-5);

  ASSERT_EQ(wld_add_east_wall(39, 40), 1);
  update();
  EXPECT_FLOAT_EQ(cats_dirx[i], 1.0f);
  EXPECT_FLOAT_EQ(cats_diry[i], 0.0f);
}

TEST_F(CatsMover, FaintOrBrokenFieldsNeverPushANumberThatIsNotOneIntoTheBody) {
  int i = cat_on_cell(40, 40);
  cats_create_bodies();
  flowx[grid_cidx(40, 40)] = 0.000002f;
  update();
  EXPECT_NEAR(cats_dirx[i], 0.02f, 1e-6) << "short, not divided by zero";
  EXPECT_TRUE(cpveql(cpBodyGetVelocity(cats_body[i]), cpvzero)) << "too short to walk";

  std::fill(flowx, flowx + GRIDCELLS, std::numeric_limits<float>::quiet_NaN());
  std::fill(flowy, flowy + GRIDCELLS, std::numeric_limits<float>::infinity());
  cpBodySetVelocity(cats_body[i], cpv(0.3, 0.3));
  update();
  EXPECT_TRUE(cpveql(cpBodyGetVelocity(cats_body[i]), cpvzero));
  EXPECT_EQ(cpBodyGetAngularVelocity(cats_body[i]), 0.0);
  EXPECT_TRUE(cats_dirx[i] == 0.0f && cats_diry[i] == 0.0f);
}

TEST_F(CatsMover, ReachingATargetSitsForATenthOrEightToTwentyThreeSecondsMore) {
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  for (int k = 0; k < MAXCATS; k++) cat_on_cell(10 + k % 100, 10 + k / 100);
  for (int k = 0; k < MAXCATS; k++) mark_target_cell(10 + k % 100, 10 + k / 100);
  cats_create_bodies();
  for (int k = 0; k < MAXCATS; k++) cpBodySetVelocity(cats_body[k], cpv(1, 0));
  update();
  int longer = 0;
  std::set<int> extra;
  for (int k = 0; k < MAXCATS; k++) {
    ASSERT_EQ(cats_walking[k], 0u);
    EXPECT_EQ(cats_dirx[k], 0.0f);
    EXPECT_TRUE(cpveql(cpBodyGetVelocity(cats_body[k]), cpvzero));
    float s = cats_sittime[k];
    if (s == 0.1f) continue;
    float whole = s - 0.1f;
    EXPECT_NEAR(whole, std::round(whole), 1e-5) << s;
    EXPECT_GE(s, 8.09f);
    EXPECT_LE(s, 23.11f);
    extra.insert((int)std::round(whole));
    longer++;
  }
  // 5 in 16 of 256 is 80 on average.
  EXPECT_GT(longer, 40);
  EXPECT_LT(longer, 120);
  EXPECT_GT(extra.size(), 8u) << "the extra seconds should vary";
}

TEST_F(CatsMover, SittingCountsDownAndStaysSeatedWhileOnATarget) {
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  int on = cat_on_cell(40, 40), off = cat_on_cell(50, 50);
  mark_target_cell(40, 40);
  for (int i : {on, off}) {
    cats_walking[i] = 0;
    cats_sittime[i] = 1.0f;
  }
  cats_create_bodies();
  update(0.6f);
  EXPECT_NEAR(cats_sittime[off], 0.4f, 1e-6);
  EXPECT_EQ(cats_walking[off], 0u);
  EXPECT_EQ(cats_dirx[off], 0.0f) << "a sitting cat does not steer";
  update(0.6f);
  EXPECT_EQ(cats_walking[off], 1u) << "time is up and no target below";
  EXPECT_EQ(cats_walking[on], 0u) << "a target cell keeps it seated";
  EXPECT_LT(cats_sittime[on], 0.0f);
  update(0.6f);
  EXPECT_FLOAT_EQ(cats_dirx[off], 1.0f);
  EXPECT_EQ(cats_walking[on], 0u);

  wld_catflags[grid_cidx(40, 40)] &= 15;  // the target moved on
  update(0.6f);
  EXPECT_EQ(cats_walking[on], 1u);
}

// Field 9's job steers the cats while field 8's job moves workers.
using CatsFieldJobs = CatsTest;

TEST_F(CatsFieldJobs, CatsAreSteeredBesideAWorkerJob) {
  std::fill(flowx, flowx + GRIDCELLS, 1.0f);
  for (int k = 0; k < 200; k++) cat_on_cell(10 + k % 100, 10 + k / 100);
  cats_create_bodies();
  for (int k = 0; k < 1000; k++) {
    worker_at(20, 20);
    crowd_goal[k] = 9;
    crowd_time[k] = 0.0;
  }
  static float wflowx[GRIDCELLS], wflowy[GRIDCELLS];
  std::fill(wflowy, wflowy + GRIDCELLS, 1.0f);
  for (int round = 0; round < 20; round++) {
    std::thread workers([] {
      crowd_move_group(0.1, 8, wflowx, wflowy, crowd_costw, crowd_coste, crowd_costn, crowd_costs);
    });
    update();
    workers.join();
  }
  for (int k = 0; k < 200; k++) EXPECT_FLOAT_EQ(cats_dirx[k], 1.0f);
  EXPECT_NEAR(crowd_time[0], 2.0, 1e-9);
}

using CatsBodies = CatsTest;

int space_bodies() {
  int n = 0;
  cpSpaceEachBody(
      wld_space, [](cpBody*, void* d) { ++*(int*)d; }, &n);
  return n;
}

TEST_F(CatsBodies, EachCatGetsOneSmallBodyInTheSpace) {
  cats_add(12.5f, 30.5f, 0.75f);
  cats_add(13.5f, 30.5f, 0.75f);
  EXPECT_EQ(cats_create_bodies(), 2);
  EXPECT_EQ(cats_create_bodies(), 0);
  EXPECT_EQ(space_bodies(), 2);
  // Made as a worker's body is, but lighter and smaller; it turns as slowly.
  cpBody* b = cats_body[0];
  EXPECT_DOUBLE_EQ(cpBodyGetMass(b), 0.4);
  EXPECT_DOUBLE_EQ(cpBodyGetMoment(b), 0.02);
  EXPECT_TRUE(cpveql(cpBodyGetPosition(b), cpv(12.5, 30.5)));
  EXPECT_EQ(cpShapeGetBody(cats_shape[0]), b);
  EXPECT_DOUBLE_EQ(cpCircleShapeGetRadius(cats_shape[0]), 0.18);

  cats_add(14.5f, 30.5f, 0.75f);
  cats_add(std::numeric_limits<float>::quiet_NaN(), 30.5f, 0.75f);
  EXPECT_EQ(cats_create_bodies(), 1) << "none at a position that is not a number";
  EXPECT_EQ(space_bodies(), 3);
  EXPECT_EQ(cats_body[3], nullptr);

  wld_exit();
  cats_add(14.5f, 30.5f, 0.75f);
  EXPECT_EQ(cats_create_bodies(), 0) << "none without a space";
  EXPECT_EQ(cats_body[4], nullptr);
}

TEST_F(CatsBodies, DestroyingLeavesNoHandleAndNothingInTheSpace) {
  for (int k = 0; k < 4; k++) cats_add(12.5f + k, 30.5f, 0.75f);
  cats_create_bodies();
  EXPECT_EQ(cats_destroy_bodies(), 4);
  EXPECT_EQ(space_bodies(), 0);
  for (int k = 0; k < MAXCATS; k++) EXPECT_TRUE(!cats_body[k] && !cats_shape[k]);
  EXPECT_EQ(cats_destroy_bodies(), 0);
  EXPECT_EQ(cats_create_bodies(), 4) << "the cats stay and can get new bodies";

  // A new world forgets every cat and target, freeing bodies still in the space.
  worker_at(10, 10);
  cats_add_target();
  cats_reset();
  EXPECT_EQ(space_bodies(), 0);
  EXPECT_EQ(cats_count + cats_tgt_count, 0);
  EXPECT_EQ(cats_body[0], nullptr);
  EXPECT_EQ(cats_walking[0], 0u);
}

TEST_F(CatsBodies, TearingDownTheWorldClearsTheCatBodies) {
  cats_add(12.5f, 30.5f, 0.75f);
  cats_add(13.5f, 30.5f, 0.75f);
  cats_create_bodies();
  testing::internal::CaptureStdout();
  wld_exit();
  std::string log = testing::internal::GetCapturedStdout();
  size_t walls = log.find("Cleared 758 wall shapes.\n");
  size_t cats = log.find("Cleared 2 cats shapes/bodies.\n");
  size_t space = log.find("Freeing cpSpace.\n");
  ASSERT_NE(cats, std::string::npos) << log;
  EXPECT_LT(walls, cats);
  EXPECT_LT(cats, space);
  EXPECT_EQ(wld_space, nullptr);
  EXPECT_EQ(cats_body[0], nullptr);
  EXPECT_EQ(cats_shape[1], nullptr);
}

TEST_F(CatsBodies, NoCatBeyondTheTable) {
  for (int k = 0; k < MAXCATS; k++) ASSERT_EQ(cats_add(12.5f, 30.5f, 0.75f), k);
  EXPECT_EQ(cats_add(12.5f, 30.5f, 0.75f), -1);
  EXPECT_EQ(cats_count, MAXCATS);
  EXPECT_TRUE(cats_walking[MAXCATS - 1] == 1 && cats_sittime[MAXCATS - 1] == 0.0f);
}

using CatsPicking = CatsTest;

TEST_F(CatsPicking, NearestCatWinsAndTheFirstOfATie) {
  float d = 1000.0f;
  EXPECT_EQ(cats_nearest(10, 10, &d), -1);
  EXPECT_EQ(d, 1000.0f) << "no cats: the distance is left alone";
  cats_add(13.0f, 10.0f, 0);
  cats_add(10.0f, 14.0f, 0);
  cats_add(10.0f, 12.0f, 0);
  cats_add(12.0f, 10.0f, 0);
  EXPECT_EQ(cats_nearest(10, 10, &d), 2);
  EXPECT_FLOAT_EQ(d, 2.0f);
  EXPECT_EQ(cats_nearest(200, 200, &d), 1) << "far away is still found";
  EXPECT_NEAR(d, std::hypot(190.0f, 186.0f), 1e-3);
}

TEST_F(CatsPicking, HeightsFollowTheGroundUnderEachCat) {
  wld_height[grid_cidx(41, 40)] = 9;
  int mid = cats_add(40.5f, 40.5f, 0);
  int edge = cats_add(40.99f, 40.5f, 0);
  int far = cats_add(41.95f, 20.5f, 0);
  cats_update_heights();
  EXPECT_TRUE(cats_cidx[mid] == grid_cidx(40, 40) && cats_cidx[far] == grid_cidx(41, 20));
  EXPECT_FLOAT_EQ(cats_pos[mid][2], 0.75f);
  float t = (0.49f - 0.3f) * 2.5f, s = t * t * (3 - 2 * t);
  EXPECT_NEAR(cats_pos[edge][2], 0.15f * (5 * (1 - s) + 9 * s), 1e-5);
  EXPECT_FLOAT_EQ(cats_pos[far][2], 0.75f);
}

using CatsSave = CatsTest;

struct SaveFiles {
  FILE* txt = tmpfile();
  FILE* bin = tmpfile();
  ~SaveFiles() { fclose(txt), fclose(bin); }
  void rewind_both() { rewind(txt), rewind(bin); }
};

TEST_F(CatsSave, RoundTripKeepsEveryPositionAndLeavesTheBodiesToTheLoader) {
  cats_add(12.25f, 30.5f, 0.75f);
  cats_add(100.125f, 2.5f, 1.05f);
  cats_add(64.25f, 127.75f, 0.3f);
  cats_create_bodies();
  SaveFiles f;
  ASSERT_TRUE(cats_serialize(1, f.txt, f.bin));
  char text[64] = {};
  f.rewind_both();
  EXPECT_STREQ(fgets(text, sizeof text, f.txt), "cats_count 3\n");
  fseek(f.bin, 0, SEEK_END);
  EXPECT_EQ(ftell(f.bin), 3072);
  float saved[MAXCATS][3];
  memcpy(saved, cats_pos, sizeof saved);

  // A running world with more cats, bodies and targets is replaced.
  for (int k = 0; k < 5; k++) cats_add(50.5f, 50.5f, 0.75f);
  cats_create_bodies();
  worker_at(10, 10);
  cats_add_target();
  f.rewind_both();
  ASSERT_TRUE(cats_serialize(0, f.txt, f.bin));
  EXPECT_EQ(cats_count, 3);
  EXPECT_EQ(memcmp(cats_pos, saved, 2 * sizeof saved[0]), 0);
  EXPECT_EQ(cats_tgt_count, 0);
  EXPECT_EQ(space_bodies(), 8);  // a load not yet taken leaves the bodies moving
  EXPECT_EQ(cats_cidx[2], grid_cidx(64, 126));
  cats_destroy_bodies();
  EXPECT_EQ(cats_create_bodies(), 3);
  EXPECT_TRUE(cpveql(cpBodyGetPosition(cats_body[1]), cpv(100.125, 2.5)));
}

// Writes a section by hand: the count line and the 256 records.
void write_section(SaveFiles& f, const char* line, float (*pos)[3], size_t bytes) {
  fputs(line, f.txt);
  fwrite(pos, 1, bytes, f.bin);
  f.rewind_both();
}

TEST_F(CatsSave, DamagedSectionsAreRefusedAndChangeNothing) {
  const float NaN = std::numeric_limits<float>::quiet_NaN();
  const float INF = std::numeric_limits<float>::infinity();
  struct Case {
    const char* line;
    int cat;  // record to spoil, -1 none
    float x, y, z;
    size_t bytes;
  } cases[] = {
      {"cats_count 257\n", -1, 0, 0, 0, 3072},
      {"cats_count -1\n", -1, 0, 0, 0, 3072},
      {"cats_count x\n", -1, 0, 0, 0, 3072},
      {"dogs_count 2\n", -1, 0, 0, 0, 3072},
      {"", -1, 0, 0, 0, 3072},
      {"cats_count 2\n", -1, 0, 0, 0, 3068},
      {"cats_count 2\n", 1, NaN, 5, 0, 3072},
      {"cats_count 2\n", 0, 5, INF, 0, 3072},
      {"cats_count 2\n", 1, 5, 5, NaN, 3072},
      {"cats_count 2\n", 0, 128, 5, 0, 3072},
      {"cats_count 2\n", 0, 5, -0.01f, 0, 3072},
  };
  cats_add(12.5f, 30.5f, 0.75f);
  cats_create_bodies();
  worker_at(10, 10);
  cats_add_target();
  for (const Case& c : cases) {
    float pos[MAXCATS][3];
    for (auto& p : pos) p[0] = p[1] = 20.5f, p[2] = 0.75f;
    if (c.cat >= 0) pos[c.cat][0] = c.x, pos[c.cat][1] = c.y, pos[c.cat][2] = c.z;
    SaveFiles f;
    write_section(f, c.line, pos, c.bytes);
    testing::internal::CaptureStdout();
    EXPECT_FALSE(cats_serialize(0, f.txt, f.bin)) << c.line << " cat " << c.cat;
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("ERR ", 0), 0u);
    EXPECT_TRUE(cats_count == 1 && cats_pos[0][0] == 12.5f && cats_body[0] && cats_tgt_count == 1);
  }
  EXPECT_FALSE(cats_serialize(0, nullptr, nullptr));
}

// The save leaves the records past the count blank, so none of them may hold
// a cat; a cat pushed off the grid, or dragged into its corner where its
// record reads as blank, still loads, put on land.
TEST_F(CatsSave, TheCountMustNameTheRecordsThatHoldCats) {
  struct Case {
    const char* count;
    int stray;  // a record past the cats, made non-blank; -1 none
    int loads;  // the cats taken, -1 refused
  };
  const Case cases[] = {
      {"cats_count 3\n", -1, 3},   {"cats_count 2\n", -1, -1},          {"cats_count 4\n", -1, 4},
      {"cats_count 3\n", 200, -1}, {"cats_count 4294967299\n", -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.count) + " stray " + std::to_string(c.stray));
    float pos[MAXCATS][3] = {{20.5f, 21.5f, 0.75f}, {-4.0f, 130.0f, 0.0f}, {60.5f, 60.5f, 1.0f}};
    if (c.stray >= 0) pos[c.stray][0] = 7.0f;
    SaveFiles f;
    write_section(f, c.count, pos, sizeof pos);
    EXPECT_EQ(cats_serialize(0, f.txt, f.bin), c.loads >= 0);
    if (c.loads >= 0) {
      EXPECT_EQ(cats_count, c.loads);
      EXPECT_EQ(wld_height[cats_cidx[c.loads - 1]], 5);
    }
  }
}

}  // namespace
