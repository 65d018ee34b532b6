#include <gtest/gtest.h>

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <deque>
#include <random>
#include <vector>

#include "bench_terrain.h"
#include "potfield.h"

namespace {

enum { W, E, N, S };
const int32_t OFF[4] = {-1, 1, -GRIDSZ, GRIDSZ};
const int OPP[4] = {E, W, S, N};
const uint8_t SIDE[4] = {OPEN_W, OPEN_E, OPEN_N, OPEN_S};

// The solver's quarter is this reciprocal estimate of 4: 12 good bits.
const double QUARTER_ACCURACY = 1.5 / 4096;

// Runs the solver's paths from the plain scalar function to AVX-512; a
// processor's missing ones are left out.
struct on_path {
  const int before;
  explicit on_path(int path) : before(potfield_path()) { EXPECT_TRUE(potfield_use(path)); }
  ~on_path() { potfield_use(before); }
};

std::vector<int> paths_here() {
  std::vector<int> paths;
  for (int p = POTFIELD_SCALAR; p <= POTFIELD_AVX512; p++)
    if (potfield_supports(p)) paths.push_back(p);
  return paths;
}

const char* const PATH_NAME[] = {"scalar", "avx", "avx2", "avx512"};

// The inputs and outputs of one field, filled per test.
struct Field {
  std::vector<float> cost[4];
  std::vector<uint8_t> flags;
  std::vector<float> weight;
  std::vector<float> pot;
  std::vector<uint32_t> state;

  Field()
      : flags(GRIDCELLS, 0), weight(GRIDCELLS, 0), pot(POTENTIALSZ, -7.0f), state(GRIDCELLS, 7) {
    for (auto& c : cost) c.assign(GRIDCELLS, FLT_UNDF);
  }

  // Sets the cost of the edge from c toward direction d on both of its cells.
  void edge(int c, int d, float there, float back) {
    const int n = (c + OFF[d]) & (GRIDCELLS - 1);
    cost[d][c] = there;
    cost[OPP[d]][n] = back;
  }
  void edge(int c, int d, float both) { edge(c, d, both, both); }

  // Open sides follow the costs, as the world keeps them.
  void derive_open_sides() {
    for (int c = 0; c < GRIDCELLS; c++) {
      uint8_t open = 0;
      for (int d = 0; d < 4; d++)
        if (cost[d][c] != FLT_UNDF) open |= SIDE[d];
      flags[c] = (flags[c] & 0xf0) | open;
    }
  }

  void goal(int c, int t, float w) {
    flags[c] = (flags[c] & 15) | (t + 1) << 4;
    weight[c] = w;
  }

  // A level square with every interior edge at cost 1 and a closed border.
  void open_level() {
    for (int y = 1; y < GRIDSZ - 1; y++)
      for (int x = 1; x < GRIDSZ - 1; x++) {
        if (x + 1 < GRIDSZ - 1) edge(grid_cidx(x, y), E, 1.0f);
        if (y + 1 < GRIDSZ - 1) edge(grid_cidx(x, y), S, 1.0f);
      }
    derive_open_sides();
  }

  // A one-cell-wide corridor along row y from x0 to x1, each step costing 1.
  void corridor(int y, int x0, int x1) {
    for (int x = x0; x < x1; x++) edge(grid_cidx(x, y), E, 1.0f);
    derive_open_sides();
  }

  void solve(int t, int path) {
    if (path == POTFIELD_SCALAR) {
      potfield_solve_scalar(t, pot.data(), cost[W].data(), cost[E].data(), cost[N].data(),
                            cost[S].data(), state.data(), flags.data(), weight.data());
      return;
    }
    const on_path use(path);
    potfield_solve(t, pot.data(), cost[W].data(), cost[E].data(), cost[N].data(), cost[S].data(),
                   state.data(), flags.data(), weight.data());
  }
};

// The root of the two-sided update, worked out in double from its closed form.
double two_sided(double a, double b, double cx, double cy) {
  return 0.5 * ((a + b) + std::sqrt(2 * cx * cy - (a - b) * (a - b)));
}

void expect_quarter_near(float actual, double exact) {
  EXPECT_NEAR(actual, exact, std::fabs(exact) * QUARTER_ACCURACY + 1e-5);
}

struct PotfieldPaths : ::testing::TestWithParam<int> {
  void SetUp() override {
    if (!potfield_supports(GetParam())) GTEST_SKIP() << "not on this processor";
  }
};
INSTANTIATE_TEST_SUITE_P(EveryPath, PotfieldPaths,
                         ::testing::Range((int)POTFIELD_SCALAR, (int)POTFIELD_AVX512 + 1),
                         [](const ::testing::TestParamInfo<int>& i) {
                           return std::string(PATH_NAME[i.param]);
                         });

// A path the processor lacks, or none at all, is refused and leaves the
// choice as it was.
TEST(PotfieldChoice, UnknownPathIsRefused) {
  const int before = potfield_path();
  EXPECT_TRUE(potfield_supports(POTFIELD_SCALAR));
  EXPECT_FALSE(potfield_use(POTFIELD_AVX512 + 1));
  EXPECT_FALSE(potfield_use(-1));
  EXPECT_EQ(potfield_path(), before);
}

TEST_P(PotfieldPaths, FieldWithoutGoalsStaysUnreachedAndMakesNoPass) {
  Field f;
  f.open_level();
  f.goal(grid_cidx(40, 40), 4, 1.0f);  // another field's goal
  f.solve(2, GetParam());
  for (int c = 0; c < GRIDCELLS; c++) {
    ASSERT_EQ(f.pot[c], FLT_UNDF) << c;
    ASSERT_EQ(f.state[c], (uint32_t)POTFIELD_IDLE) << c;
  }
}

TEST_P(PotfieldPaths, SingleGoalOnLevelGround) {
  Field f;
  f.open_level();
  const float w = 3.0f;
  f.goal(grid_cidx(64, 64), 0, w);
  f.solve(0, GetParam());
  EXPECT_EQ(f.pot[grid_cidx(64, 64)], -w);
  for (int d = 0; d < 4; d++) EXPECT_EQ(f.pot[grid_cidx(64, 64) + OFF[d]], -w + 1) << d;
  // A diagonal neighbour takes the two-sided root, not the path around the corner.
  const double diagonal = -w + 1 + 1 / std::sqrt(2.0);
  for (int c : {grid_cidx(63, 63), grid_cidx(65, 63), grid_cidx(63, 65), grid_cidx(65, 65)}) {
    expect_quarter_near(f.pot[c], diagonal);
    EXPECT_EQ(f.pot[c], f.pot[grid_cidx(65, 65)]);
  }
  // The whole square is reached, rises away from the goal and has settled.
  for (int y = 1; y < GRIDSZ - 1; y++)
    for (int x = 1; x < GRIDSZ - 1; x++) {
      const int c = grid_cidx(x, y);
      ASSERT_LT(f.pot[c], FLT_UNDF);
      ASSERT_EQ(f.state[c], (uint32_t)POTFIELD_SETTLED);
      if (x > 64) {
        ASSERT_GT(f.pot[c], f.pot[c - 1]);
      }
      if (y > 64) {
        ASSERT_GT(f.pot[c], f.pot[c - GRIDSZ]);
      }
    }
  // The border is never reached; the spare row is not touched.
  EXPECT_EQ(f.pot[grid_cidx(0, 64)], FLT_UNDF);
  EXPECT_EQ(f.pot[GRIDCELLS], -7.0f);
}

// One cell X at (64, 64) between goals whose potentials are minus their
// weights; every other edge is closed. Each case gives X's costs and the
// potentials around it, and the upwind pair the rules must pick.
TEST_P(PotfieldPaths, UpwindSideChoice) {
  const float U = FLT_UNDF;
  const struct {
    const char* name;
    float u[4], k[4];    // west, east, north, south; FLT_UNDF cost: closed
    int pick_x, pick_y;  // the chosen sides
  } cases[] = {
      // Equal sums: west (0 + 2) over east (1 + 1); the east pick would give 1.707.
      {"WestOnTie", {0, 1, 1, U}, {2, 1, 1, U}, W, N},
      {"EastWhenCheaper", {0, 1, 1, U}, {2, 0.9f, 1, U}, E, N},
      {"NorthOnTie", {1, U, 0, 1}, {1, U, 2, 1}, W, N},
      {"SouthWhenCheaper", {1, U, 0, 1}, {1, U, 2, 0.9f}, W, S},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    Field f;
    const int x = grid_cidx(64, 64);
    for (int d = 0; d < 4; d++) {
      if (tc.k[d] == FLT_UNDF) continue;
      f.edge(x, d, tc.k[d]);
      f.goal(x + OFF[d], 0, -tc.u[d]);
    }
    f.derive_open_sides();
    f.solve(0, GetParam());
    const double ux = tc.u[tc.pick_x], uy = tc.u[tc.pick_y];
    const double exact =
        two_sided(std::max(ux, uy), std::min(ux, uy), tc.k[tc.pick_x], tc.k[tc.pick_y]);
    expect_quarter_near(f.pot[x], exact);
    for (int d = 0; d < 4; d++)
      if (tc.k[d] != FLT_UNDF) {
        EXPECT_EQ(f.pot[x + OFF[d]], tc.u[d]) << "goal moved";
      }
  }
}

// A goal of weight 10 at (10, 10) and one cell east of it joined only by the
// edge's costs: the cell's own cost toward the goal decides, exactly 9999 closes.
TEST_P(PotfieldPaths, OnlyExactly9999Closes) {
  const struct {
    const char* name;
    float cell_to_goal, goal_to_cell, expect;
  } cases[] = {{"Exactly9999", 9999.0f, 9999.0f, FLT_UNDF},
               {"JustBelow", 9998.9f, 9998.9f, -10.0f + 9998.9f},
               {"JustAbove", 10000.0f, 10000.0f, -10.0f + 10000.0f},
               {"GoalSideClosedStillSeeds", 2.0f, 9999.0f, -8.0f},
               {"CellSideClosed", 9999.0f, 2.0f, FLT_UNDF}};
  for (const auto& cc : cases) {
    SCOPED_TRACE(cc.name);
    Field f;
    const int g = grid_cidx(10, 10);
    f.edge(g, E, cc.goal_to_cell, cc.cell_to_goal);
    f.derive_open_sides();
    f.flags[g + 1] |= OPEN_W;  // walkable whatever the costs
    f.goal(g, 3, 10.0f);
    f.solve(3, GetParam());
    EXPECT_FLOAT_EQ(f.pot[g + 1], cc.expect);
  }
}

// Along a corridor every cell takes the nearest goal net of its weight: a
// heavier goal pulls further, a light goal is lowered by a heavy neighbour.
TEST_P(PotfieldPaths, CorridorCellsTakeTheBestGoal) {
  const struct {
    int t, y, x1, gx[2];
    float w[2];
  } cases[] = {{1, 10, 40, {10, 30}, {0.0f, 5.0f}}, {6, 20, 20, {10, 12}, {10.0f, 0.5f}}};
  for (const auto& k : cases) {
    SCOPED_TRACE(k.t);
    Field f;
    f.corridor(k.y, 10, k.x1);
    for (int g = 0; g < 2; g++) f.goal(grid_cidx(k.gx[g], k.y), k.t, k.w[g]);
    f.solve(k.t, GetParam());
    for (int x = 10; x <= k.x1; x++) {
      const float expect =
          std::min<float>(-k.w[0] + std::abs(x - k.gx[0]), -k.w[1] + std::abs(x - k.gx[1]));
      EXPECT_EQ(f.pot[grid_cidx(x, k.y)], expect) << x;
      EXPECT_EQ(f.state[grid_cidx(x, k.y)], (uint32_t)POTFIELD_SETTLED) << x;
    }
    EXPECT_EQ(f.pot[grid_cidx(9, k.y)], FLT_UNDF);
  }
}

TEST_P(PotfieldPaths, GoalsOnTheOuterRingSeedOnlyInsideTheGrid) {
  Field f;
  for (int c = 0; c < GRIDCELLS; c++) f.flags[c] = 15;  // walkable, yet every cost closed
  const int corner_first = 0, corner_last = GRIDCELLS - 1;
  const int west_edge = grid_cidx(0, 5), east_edge = grid_cidx(127, 9);
  for (int c : {corner_first, corner_last, west_edge, east_edge}) f.goal(c, 9, 1.0f);
  f.solve(9, GetParam());
  // Neighbours inside the grid were woken (and found no way in) ...
  for (int c :
       {grid_cidx(1, 0), grid_cidx(0, 1), grid_cidx(126, 127), grid_cidx(127, 126), grid_cidx(1, 5),
        grid_cidx(0, 4), grid_cidx(0, 6), grid_cidx(126, 9), grid_cidx(127, 8), grid_cidx(127, 10)})
    EXPECT_EQ(f.state[c], (uint32_t)POTFIELD_SETTLED) << c;
  // ... the cells one index away across the edge were not.
  EXPECT_EQ(f.state[grid_cidx(127, 4)], (uint32_t)POTFIELD_IDLE);
  EXPECT_EQ(f.state[grid_cidx(0, 10)], (uint32_t)POTFIELD_IDLE);
  for (int c = 0; c < GRIDCELLS; c++)
    if ((f.flags[c] >> 4) != 10) {
      ASSERT_EQ(f.pot[c], FLT_UNDF) << c;
    }
}

TEST_P(PotfieldPaths, StepsLeavingTheGridWrapByIndex) {
  // The east step of the last column leads to the next row's first cell.
  Field f;
  f.corridor(4, 125, 127);
  f.edge(grid_cidx(127, 4), E, 1.0f);
  f.derive_open_sides();
  f.goal(grid_cidx(125, 4), 2, 0.0f);
  f.solve(2, GetParam());
  EXPECT_EQ(f.pot[grid_cidx(127, 4)], 2.0f);
  EXPECT_EQ(f.pot[grid_cidx(0, 5)], 3.0f);
}

// ---------------------------------------------------------------------------
// Random terrains: asymmetric step costs 1 to 5, symmetric walls, lakes whose
// cells are closed on every side with a zero flag byte, a closed border,
// goals of the solved type and of others.

void random_field(Field& f, std::mt19937& rng, int t, bool lakes, bool directional) {
  std::uniform_real_distribution<float> step(1.0f, 5.0f), unit(0.0f, 1.0f);
  std::vector<float> own(GRIDCELLS);
  for (float& k : own) k = step(rng);
  for (int y = 1; y < GRIDSZ - 1; y++)
    for (int x = 1; x < GRIDSZ - 1; x++) {
      const int c = grid_cidx(x, y);
      for (int d : {E, S}) {
        const int n = c + OFF[d];
        if ((d == E && x + 1 == GRIDSZ - 1) || (d == S && y + 1 == GRIDSZ - 1)) continue;
        const bool wall = unit(rng) < 0.12f;
        if (directional)
          f.edge(c, d, wall ? FLT_UNDF : step(rng), step(rng));
        else
          f.edge(c, d, wall ? FLT_UNDF : own[c], own[n]);
      }
    }
  // A wall closes both directions.
  for (int c = 0; c < GRIDCELLS; c++)
    for (int d : {E, S}) {
      const int n = (c + OFF[d]) & (GRIDCELLS - 1);
      if (f.cost[d][c] == FLT_UNDF || f.cost[OPP[d]][n] == FLT_UNDF) f.edge(c, d, FLT_UNDF);
    }
  for (int lake = 0; lakes && lake < 4; lake++) {
    const int cx = 10 + rng() % 108, cy = 10 + rng() % 108, r = 3 + rng() % 8;
    for (int y = cy - r; y <= cy + r; y++)
      for (int x = cx - r; x <= cx + r; x++)
        if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r)
          for (int d = 0; d < 4; d++) f.edge(grid_cidx(x, y), d, FLT_UNDF);
  }
  f.derive_open_sides();
  for (int i = 0; i < 12; i++) {  // other fields' goals
    const int c = grid_cidx(1 + rng() % 126, 1 + rng() % 126);
    if (f.flags[c]) f.goal(c, (t + 1 + rng() % 9) % 10, 1.0f);
  }
  const int goals = 2 + rng() % 6;
  for (int i = 0; i < goals; i++) {
    const int c = grid_cidx(1 + rng() % 126, 1 + rng() % 126);
    if (f.flags[c]) f.goal(c, t, 6.0f * unit(rng));
  }
}

bool is_goal(const Field& f, int t, int c) { return (f.flags[c] >> 4) == t + 1; }

// Cells a breadth-first search reaches from the goals over the edges the
// solver uses: an edge is open when neither of its two cells' costs across it
// is exactly 9999 (the settled cell wakes along its side, the woken cell reads
// along its own). Indices wrap as the solver's do.
std::vector<bool> bfs_reach(const Field& f, int t) {
  std::vector<bool> seen(GRIDCELLS, false);
  std::deque<int> queue;
  for (int c = 0; c < GRIDCELLS; c++)
    if (is_goal(f, t, c)) {
      seen[c] = true;
      queue.push_back(c);
    }
  while (!queue.empty()) {
    const int c = queue.front();
    queue.pop_front();
    for (int d = 0; d < 4; d++) {
      const int n = (c + OFF[d]) & (GRIDCELLS - 1);
      if (seen[n] || f.cost[d][c] == FLT_UNDF || f.cost[OPP[d]][n] == FLT_UNDF) continue;
      seen[n] = true;
      queue.push_back(n);
    }
  }
  return seen;
}

// The same local update applied to every cell, sweep after sweep in the four
// orders, until no value drops. Double precision except for the quarter.
std::vector<double> sweep_reference(const Field& f, int t) {
  const double quarter = _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(4.0f)));
  const double undf = FLT_UNDF;
  std::vector<double> u(GRIDCELLS);
  for (int c = 0; c < GRIDCELLS; c++) u[c] = is_goal(f, t, c) ? -f.weight[c] : undf;
  auto update = [&](int c) {
    double nu[4], k[4];
    for (int d = 0; d < 4; d++) {
      k[d] = f.cost[d][c];
      nu[d] = f.cost[d][c] == FLT_UNDF ? undf : u[(c + OFF[d]) & (GRIDCELLS - 1)];
    }
    auto side = [&](int first, int second, double& uu, double& cc) {
      const double s1 = nu[first] + k[first], s2 = nu[second] + k[second];
      uu = cc = undf;
      if (s2 < s1 && nu[second] != undf)
        uu = nu[second], cc = k[second];
      else if (s1 <= s2 && nu[first] != undf)
        uu = nu[first], cc = k[first];
    };
    double ux, cx, uy, cy;
    side(W, E, ux, cx);
    side(N, S, uy, cy);
    double cand;
    if (ux >= undf)
      cand = uy + cy;
    else if (uy >= undf)
      cand = ux + cx;
    else {
      const double a = std::max(ux, uy), b = std::min(ux, uy);
      const double m = std::min(ux + cx, uy + cy);
      const double disc = 2 * cx * cy - (a - b) * (a - b);
      const double r = disc >= 0 ? 2 * quarter * ((a + b) + std::sqrt(disc)) : undf;
      cand = (r != undf && r > a) ? r : m;
    }
    if (cand < u[c]) {
      u[c] = cand;
      return true;
    }
    return false;
  };
  for (int sweep = 0; sweep < 4000; sweep++) {
    bool changed = false;
    for (int c = 0; c < GRIDCELLS; c++) {
      const int x = c % GRIDSZ, y = c / GRIDSZ;
      const int xs = (sweep & 1) ? GRIDSZ - 1 - x : x, ys = (sweep & 2) ? GRIDSZ - 1 - y : y;
      changed |= update(grid_cidx(xs, ys));
    }
    if (!changed) return u;
  }
  ADD_FAILURE() << "reference did not settle";
  return u;
}

struct Deviation {
  double reference = 0;  // largest |solver - reference| / (|reference| + 1)
  double absolute = 0;   // largest |solver - reference|
  int reached = 0;
};

// Checks one field: every path bit for bit as the scalar one, reach exactly
// as the search, every reached cell settled. Returns the largest deviations
// from the reference.
Deviation check_field(Field& f, int t, const char* what) {
  Deviation dev;
  f.solve(t, POTFIELD_SCALAR);
  const std::vector<float> vec(f.pot.begin(), f.pot.begin() + GRIDCELLS);
  const std::vector<uint32_t> vstate = f.state;
  // Every path does the same float operations and writes in the same order.
  for (int path : paths_here()) {
    if (path == POTFIELD_SCALAR) continue;
    f.solve(t, path);
    EXPECT_EQ(memcmp(vec.data(), f.pot.data(), GRIDCELLS * sizeof(float)), 0)
        << what << " " << PATH_NAME[path];
    EXPECT_TRUE(vstate == f.state) << what << " " << PATH_NAME[path];
  }
  const std::vector<bool> reach = bfs_reach(f, t);
  const std::vector<double> ref = sweep_reference(f, t);
  int wrong_reach = 0, unsettled = 0, first = -1;
  for (int c = 0; c < GRIDCELLS; c++) {
    // Unreached is exactly 9999.
    const bool bad_reach = (vec[c] != FLT_UNDF) != reach[c];
    const bool bad_state = reach[c] && vstate[c] != POTFIELD_SETTLED;
    wrong_reach += bad_reach;
    unsettled += bad_state;
    if (first < 0 && (bad_reach || bad_state)) first = c;
    if (!reach[c]) continue;
    dev.reached++;
    const double off = std::fabs(vec[c] - ref[c]);
    dev.absolute = std::max(dev.absolute, off);
    dev.reference = std::max(dev.reference, off / (std::fabs(ref[c]) + 1));
  }
  EXPECT_EQ(wrong_reach, 0) << what << ", first wrong cell " << first;
  EXPECT_EQ(unsettled, 0) << what << ", first wrong cell " << first;
  return dev;
}

// Where a cell's four costs are equal the update is monotone and the result
// does not depend on the order of work; the ring and the sweeps then differ
// only by the quarter's error carried along the paths.
const double REFERENCE_TOLERANCE = 1e-3;

// Checks the fields of a run of seeds; returns the largest deviations.
Deviation check_seeds(unsigned first, unsigned last, bool directional) {
  Deviation worst;
  for (unsigned seed = first; seed <= last; seed++) {
    std::mt19937 rng(seed);
    Field f;
    const int t = seed % GROUPCNT;
    random_field(f, rng, t, true, directional);
    const std::string what = "seed " + std::to_string(seed);
    const Deviation dev = check_field(f, t, what.c_str());
    EXPECT_GT(dev.reached, 1000) << what;
    if (!directional) {
      EXPECT_LE(dev.reference, REFERENCE_TOLERANCE) << what;
    }
    worst.reference = std::max(worst.reference, dev.reference);
    worst.absolute = std::max(worst.absolute, dev.absolute);
  }
  return worst;
}

TEST(PotfieldProperty, RandomTerrainsMatchSearchAndSweeps) { check_seeds(1, 24, false); }

// With direction-dependent costs the two-sided root (it takes the product of
// the two costs) can lie above the one-sided value, so whichever neighbour
// drops first decides: the result depends on the order of work, and two sweep
// orders differ from each other as much as the ring does from either. The
// bound is two of the largest steps.
TEST(PotfieldProperty, DirectionalCostsStayWithinTwoStepsOfSweeps) {
  EXPECT_LE(check_seeds(101, 112, true).absolute, 10.0);
}

// Goals on every third column wake two thirds of the grid at once: more than
// a ring of 8192 entries could hold.
TEST(PotfieldProperty, MoreActiveCellsThanHalfTheGrid) {
  std::mt19937 rng(99);
  Field f;
  const int t = 7;
  random_field(f, rng, t, false, false);
  for (int y = 1; y < GRIDSZ - 1; y++)
    for (int x = 3; x < GRIDSZ - 1; x += 3) f.goal(grid_cidx(x, y), t, 1.0f + (x % 7));
  int seeded = 0;  // the closed border is never woken
  for (int y = 1; y < GRIDSZ - 1; y++)
    for (int x = 1; x < GRIDSZ - 1; x++) {
      const int c = grid_cidx(x, y);
      seeded += (f.flags[c] & 15) && !is_goal(f, t, c) &&
                (is_goal(f, t, c - 1) || is_goal(f, t, c + 1) || is_goal(f, t, c - GRIDSZ) ||
                 is_goal(f, t, c + GRIDSZ));
    }
  ASSERT_GE(seeded, 8192);
  const Deviation dev = check_field(f, t, "dense goals");
  EXPECT_LE(dev.reference, REFERENCE_TOLERANCE);
}

// The benchmarks' hilly site with its lake: every path agrees bit for bit with
// the scalar one on every field, the cats' and the unused ones included.
TEST(PotfieldProperty, EveryPathAgreesOnTheTerrain) {
  bench_terrain::make_world();
  static float vec[GRIDCELLS];
  static uint32_t vstate[GRIDCELLS];
  int reached = 0;
  for (int t = 0; t < GROUPCNT; t++) {
    potfield_solve_scalar(t, wld_potential[t], basecostw, basecoste, basecostn, basecosts,
                          potfield_state[t], wld_cellflags, wld_goalweight);
    for (int path : paths_here()) {
      const on_path use(path);
      potfield_solve(t, vec, basecostw, basecoste, basecostn, basecosts, vstate, wld_cellflags,
                     wld_goalweight);
      EXPECT_EQ(memcmp(vec, wld_potential[t], sizeof vec), 0)
          << "field " << t << " " << PATH_NAME[path];
      EXPECT_EQ(memcmp(vstate, potfield_state[t], sizeof vstate), 0)
          << "field " << t << " " << PATH_NAME[path];
    }
    for (int c = 0; c < GRIDCELLS; c++) reached += wld_potential[t][c] != FLT_UNDF;
  }
  EXPECT_GT(reached, 10000);  // the lake shore's field reaches most of the land
}

}  // namespace
