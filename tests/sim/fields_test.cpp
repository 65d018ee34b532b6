#include "wld_fields.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "cats.h"
#include "crowd.h"
#include "potfield.h"
#include "wld_site.h"
#include "wld_state.h"

namespace {

const float UNTOUCHED = -1234.0f;

void stamp(int x, int y, int type, float weight = 1.0f) {
  int c = grid_cidx(x, y);
  wld_cellflags[c] = (wld_cellflags[c] & 15) | type << 4;
  wld_goalweight[c] = weight;
}

// A running world with no members, no cats and no pool; the cats' grids a
// copy of the cell flags.
struct FieldsTest : WorldTest {
  void SetUp() override {
    fresh_sim();
    wld_started = 1;
    wld_dt = 4.0 / 240;
  }

  void flat_site() {
    site_flat(5);
    site_build();
    memcpy(wld_catflags, wld_cellflags, sizeof wld_catflags);
  }

  int member(float x, float y, uint32_t goal, bool body = true) {
    int i = crowd_sz;
    crowd_add(0);
    crowd_goal[i] = goal;
    crowd_posx[i] = x;
    crowd_posy[i] = y;
    if (body) {
      EXPECT_TRUE(wld_add_body(i, x, y));
    }
    return i;
  }

  // The fields one refresh rewrote.
  std::vector<int> refreshed_fields() {
    for (auto& field : wld_potential) std::fill(field, field + GRIDCELLS, UNTOUCHED);
    wld_update_fields();
    std::vector<int> out;
    for (int t = 0; t < GROUPCNT; t++)
      if (wld_potential[t][0] != UNTOUCHED) out.push_back(t);
    return out;
  }
};

using FieldRefresh = FieldsTest;

TEST_F(FieldRefresh, FrameCounterPicksTwoFieldsAndCyclesThroughAllTen) {
  flat_site();
  wld_started = 0;
  EXPECT_TRUE(refreshed_fields().empty()) << "nothing before the world has started";
  EXPECT_EQ(wld_fieldframe, 0);
  wld_started = 1;
  const std::vector<int> pairs[6] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {8, 9}, {0, 1}};
  for (int f = 0; f < 6; f++) {
    EXPECT_EQ(refreshed_fields(), pairs[f]) << "frame " << f;
    EXPECT_EQ(wld_fieldframe, f + 1);
  }
  // Years of play later the counter wraps and the cycle goes on.
  wld_fieldframe = INT32_MAX;
  EXPECT_EQ(refreshed_fields(), pairs[2]);
  EXPECT_EQ(refreshed_fields(), pairs[3]);
}

// Goals of every field on a flat site, members of every state walking with
// bodies, one dead member without a body; returns that one.
int busy_site(FieldsTest& f) {
  f.flat_site();
  for (int t = 1; t <= 9; t++) stamp(10 * t, 100, t, 0.5f * t);
  wld_catflags[grid_cidx(60, 60)] = (wld_catflags[grid_cidx(60, 60)] & 15) | CATT << 4;
  wld_catweight[grid_cidx(60, 60)] = 2.0f;
  for (int i = 0; i < 90; i++) f.member(5.5f + i, 20.25f + (i % 7), 1 + i % 9);
  for (int i = 0; i < 90; i++) cpBodySetVelocity(wld_bodies[i], cpv(0.1 * (i % 5), -0.2));
  return f.member(30.5f, 40.5f, 12, false);  // dead
}

struct world_snapshot {
  std::vector<float> fields, pos, dir;
  std::vector<double> time;
};

world_snapshot take_snapshot() {
  world_snapshot s;
  s.fields.assign(&wld_potential[0][0], &wld_potential[0][0] + sizeof wld_potential / 4);
  s.fields.insert(s.fields.end(), &wld_flow[0][0][0], &wld_flow[0][0][0] + sizeof wld_flow / 4);
  s.pos.assign(crowd_posx, crowd_posx + crowd_sz);
  s.pos.insert(s.pos.end(), crowd_posy, crowd_posy + crowd_sz);
  s.dir.assign(crowd_dirx, crowd_dirx + crowd_sz);
  s.dir.insert(s.dir.end(), crowd_diry, crowd_diry + crowd_sz);
  s.time.assign(crowd_time, crowd_time + crowd_sz);
  return s;
}

TEST_F(FieldRefresh, WithoutAPoolTheSameFieldsAreComputedInline) {
  int bodiless = busy_site(*this);
  EXPECT_EQ(task_create(nullptr), 0u) << "nothing to queue on without a pool";
  for (int f = 0; f < 5; f++) wld_update_fields();
  world_snapshot inline_run = take_snapshot();
  EXPECT_EQ(crowd_posx[bodiless], 30.5f) << "a member without a body is not moved";
  EXPECT_DOUBLE_EQ(crowd_time[0], 9 * 5 * wld_dt);
  EXPECT_FLOAT_EQ(crowd_velx[4], 0.4f) << "velocities come from the bodies";

  wld_reset();
  wld_dt = 4.0 / 240;
  wld_started = 1;
  busy_site(*this);
  threadpool_create();
  for (int f = 0; f < 5; f++) wld_update_fields();
  world_snapshot pool_run = take_snapshot();
  EXPECT_TRUE(inline_run.fields == pool_run.fields);
  EXPECT_EQ(inline_run.pos, pool_run.pos);
  EXPECT_EQ(inline_run.dir, pool_run.dir);
  EXPECT_EQ(inline_run.time, pool_run.time);

  task_arg arg = {7, 0, 0};
  std::fill(wld_potential[7], wld_potential[7] + GRIDCELLS, UNTOUCHED);
  EXPECT_GT(task_create(&arg), 0u);
  threadpool_wait_idle();
  EXPECT_EQ(wld_potential[7][grid_cidx(80, 100)], -4.0f) << "the queued job solved field 7";
}

TEST_F(FieldRefresh, GoalCellsOfTheSolvedFlagsGetNoPush) {
  flat_site();
  stamp(40, 40, REST);
  stamp(41, 40, REST);
  wld_catflags[grid_cidx(60, 60)] |= CATT << 4;  // only in the cats' copy
  int on_goal = member(40.5f, 40.5f, 9);
  int beside = member(44.5f, 40.5f, 9);
  wld_fieldframe = 4;
  wld_update_fields();
  for (int t : {8, 9}) {
    const uint8_t* flags = t == 9 ? wld_catflags : wld_cellflags;
    for (int c = 0; c < GRIDCELLS; c++) {
      if ((flags[c] >> 4) != t + 1) continue;
      EXPECT_EQ(wld_flow[t][FLOW_X][c], 0.0f) << "field " << t << " cell " << c;
      EXPECT_EQ(wld_flow[t][FLOW_Y][c], 0.0f) << "field " << t << " cell " << c;
    }
  }
  EXPECT_FLOAT_EQ(wld_flow[9][FLOW_X][grid_cidx(61, 60)], -1.0f);
  EXPECT_FLOAT_EQ(wld_flow[8][FLOW_X][grid_cidx(42, 40)], -1.0f);
  EXPECT_EQ(crowd_dirx[on_goal], 0.0f);
  EXPECT_EQ(crowd_diry[on_goal], 0.0f);
  EXPECT_FLOAT_EQ(crowd_dirx[beside], -1.0f);
}

using FieldSteering = FieldsTest;

TEST_F(FieldSteering, BrakesWalksAtUnitSpeedAndBlendsWithTheOldVelocity) {
  flat_site();
  int stop = member(20.5f, 20.5f, 1), walk = member(30.5f, 30.5f, 1),
      turn = member(40.5f, 40.5f, 1);
  cpBodySetVelocity(wld_bodies[stop], cpv(1.0, 0.5));
  cpBodySetAngularVelocity(wld_bodies[stop], 3.0);
  crowd_dirx[stop] = 0.01f;  // |d|^2 = 0.0005: too short to walk
  crowd_diry[stop] = 0.02f;
  crowd_dirx[walk] = 0.6f;
  crowd_diry[walk] = 0.8f;
  cpBodySetVelocity(wld_bodies[turn], cpv(-1.0, 0.0));
  crowd_diry[turn] = 1.0f;
  wld_steer_bodies();
  EXPECT_TRUE(cpveql(cpBodyGetVelocity(wld_bodies[stop]), cpv(0.01f, 0.02f)));
  EXPECT_EQ(cpBodyGetAngularVelocity(wld_bodies[stop]), 0.0);
  cpVect v = cpBodyGetVelocity(wld_bodies[turn]);
  EXPECT_NEAR(v.x, -M_SQRT1_2, 1e-12);
  EXPECT_NEAR(v.y, M_SQRT1_2, 1e-12);

  cpSpaceStep(wld_space, 1.0f / 240);
  v = cpBodyGetVelocity(wld_bodies[walk]);
  EXPECT_NEAR(cpvlength(v), 1.0, 1e-6);
  EXPECT_NEAR(v.x, 0.6, 1e-6);
  cpVect p = cpBodyGetPosition(wld_bodies[walk]);
  EXPECT_NEAR(p.x, 30.5 + 0.6 / 240, 1e-6);
  EXPECT_NEAR(p.y, 30.5 + 0.8 / 240, 1e-6);
}

// A direction turned exactly back against a velocity whose cross component
// halved towards nothing leaves a blend whose square underflows. A member,
// and a cat facing its way, turn to their direction; a blend nearly back but
// with a direction of its own is kept.
TEST_F(FieldSteering, ABlendThatCancelsTurnsToTheDirectionAndNeverFlings) {
  flat_site();
  const int i = member(40.5f, 40.5f, 1), cat = cats_add(50.5f, 50.5f, 0.75f);
  cats_create_bodies();
  float *flowx = wld_flow[9][FLOW_X], *flowy = wld_flow[9][FLOW_Y];
  std::fill(flowx, flowx + GRIDCELLS, -1.0f);
  std::fill(flowy, flowy + GRIDCELLS, 0.0f);
  crowd_dirx[i] = -1.0f;
  cpVect m, c;
  auto steer = [&](double cross) {
    cpBodySetVelocity(wld_bodies[i], cpv(1.0, cross));
    cpBodySetVelocity(cats_body[cat], cpv(1.0, cross));
    cpBodySetAngle(cats_body[cat], M_PI);
    wld_steer_bodies();
    cats_update(0.05f, flowx, flowy, crowd_costw, crowd_coste, crowd_costn, crowd_costs);
    m = cpBodyGetVelocity(wld_bodies[i]), c = cpBodyGetVelocity(cats_body[cat]);
    return cpveql(m, cpv(-1.0, 0.0)) && cpveql(c, cpv(-1.6, 0.0));
  };
  for (int e = 150; e <= 320; e++)
    for (double side : {1.0, -1.0})
      ASSERT_TRUE(steer(side * std::pow(10.0, -e))) << "1e-" << e << ": " << m.y << ", " << c.y;
  steer(1e-3);
  EXPECT_TRUE(fabs(m.y - 1.0) < 1e-12 && fabs(c.y - 1.6) < 1e-12) << m.y << ", " << c.y;
}

TEST_F(FieldSteering, HeadingErrorIsWrappedOnceEachWay) {
  flat_site();
  // Heading minus facing: 3.5, -3.5 and 0.5 radians.
  const float facing[3] = {-1.75f, 1.75f, 0.0f}, heading[3] = {1.75f, -1.75f, 0.5f};
  const double expected[3] = {3.5 - 2 * M_PI, -3.5 + 2 * M_PI, 0.5};
  for (int k = 0; k < 3; k++) {
    int i = member(20.5f + 4 * k, 20.5f, 1);
    cpBodySetAngle(wld_bodies[i], facing[k]);
    crowd_dirx[i] = cosf(heading[k]);
    crowd_diry[i] = sinf(heading[k]);
  }
  wld_steer_bodies();
  for (int k = 0; k < 3; k++)
    EXPECT_NEAR(cpBodyGetAngularVelocity(wld_bodies[k]), 2 * expected[k], 0.05) << k;
}

// The field jobs as the world runs them: two on the pool every frame, steering
// and physics steps between frames, a few hundred members on an island of
// hills with a pond, a cliff ridge and the walls of both.
struct FieldJobs : FieldsTest {
  static const int PER_FIELD = 30;
  std::vector<int> prev_cell;
  std::vector<bool> reached;
  int faults = 0;

  void island() {
    for (int c = 0; c < GRIDCELLS; c++) {
      int x = c % GRIDSZ, y = c / GRIDSZ;
      bool land = x >= 6 && x < 46 && y >= 6 && y < 46 && std::hypot(x - 26.0, y - 28.0) > 4.5;
      int h = (int)std::lround(7 + 3 * sin(x * 0.45) + 3 * cos(y * 0.35));
      if (x == 34 && y >= 12 && y < 36) h += 6;  // a ridge fenced by cliffs
      if (x < 12 && y > 38) h = 2;               // low shore: water-edge cells
      wld_height[c] = land ? (uint8_t)h : 0;
    }
    site_build();
    const int spots[9][2] = {{10, 10}, {40, 9},  {0, 0},   {22, 40}, {40, 40},
                             {16, 22}, {29, 15}, {40, 26}, {9, 30}};
    for (int t = 1; t <= 9; t++)
      if (t != WATR)
        for (int k = 0; k < 9; k++)
          stamp(spots[t - 1][0] + k % 3 - 1, spots[t - 1][1] + k / 3 - 1, t);
    for (int c = 0; c < GRIDCELLS; c++)
      if ((wld_cellflags[c] >> 4) == WATR) wld_goalweight[c] = 1.0f;
    memcpy(wld_catflags, wld_cellflags, sizeof wld_catflags);
  }

  // Members of every state on distinct cells at most ten steps up their
  // field, as it stands without a crowd.
  void populate() {
    static float pot[POTENTIALSZ];
    static uint32_t state[GRIDCELLS];
    std::mt19937 rng(7);
    std::vector<bool> taken(GRIDCELLS);
    for (int t = 0; t < 9; t++) {
      potfield_solve(t, pot, basecostw, basecoste, basecostn, basecosts, state, wld_cellflags,
                     wld_goalweight);
      int n = 0;
      for (int tries = 0; n < PER_FIELD; tries++) {
        ASSERT_LT(tries, 1000000) << "field " << t << " has too few cells near its goals";
        int c = rng() % GRIDCELLS;
        if (taken[c] || pot[c] < 2.0f || pot[c] > 10.0f || (wld_cellflags[c] >> 4) != 0) continue;
        taken[c] = true;
        member(c % GRIDSZ + 0.3f + 0.4f * (rng() % 2), c / GRIDSZ + 0.5f, t + 1);
        n++;
      }
    }
    for (int i = 0; i < crowd_sz; i++) prev_cell.push_back(body_cell(i));
    reached.assign(crowd_sz, false);
  }

  static int body_cell(int i) {
    cpVect p = cpBodyGetPosition(wld_bodies[i]);
    return (int)p.y * GRIDSZ + (int)p.x;
  }

  // A step of at most one cell across an open edge, or diagonally around a
  // corner with one open way; never onto water.
  static bool legal_move(int from, int to) {
    if (to == from) return true;
    int dx = to % GRIDSZ - from % GRIDSZ, dy = to / GRIDSZ - from / GRIDSZ;
    if (abs(dx) > 1 || abs(dy) > 1) return false;
    auto open_x = [](int c, int d) { return (d > 0 ? basecoste[c] : basecostw[c]) < FLT_UNDF; };
    auto open_y = [](int c, int d) { return (d > 0 ? basecosts[c] : basecostn[c]) < FLT_UNDF; };
    if (dy == 0) return open_x(from, dx);
    if (dx == 0) return open_y(from, dy);
    return (open_x(from, dx) && open_y(from + dx, dy)) ||
           (open_y(from, dy) && open_x(from + dy * GRIDSZ, dx));
  }

  void check_members() {
    for (int i = 0; i < crowd_sz; i++) {
      int c = body_cell(i);
      if (wld_cellflags[c] == 0 || !legal_move(prev_cell[i], c)) faults++;
      prev_cell[i] = c;
      if ((wld_cellflags[c] >> 4) == crowd_goal[i]) reached[i] = true;
    }
  }
};

TEST_F(FieldJobs, MembersWalkTheirFieldsPastWallsAndWaterWhileTimeAddsUp) {
  island();
  populate();
  ASSERT_EQ(crowd_sz, 9 * PER_FIELD);
  threadpool_create();
  double expected_time = 0.0;
  int arrived = 0;
  for (int frame = 0; frame < 1800 && arrived < crowd_sz; frame++) {
    const int steps = frame % 4 == 3 ? 3 : 8;
    wld_dt = steps / 240.0;
    const bool moves_both = wld_fieldframe % 5 != 4;  // field 9 moves no member
    wld_update_fields();
    expected_time += 5 * wld_dt;
    if (moves_both) expected_time += 5 * wld_dt;
    for (int s = 0; s < steps; s++) {
      wld_steer_bodies();
      cpSpaceStep(wld_space, 1.0f / 240);
      check_members();
    }
    for (int i = 0; i < crowd_sz; i++) ASSERT_EQ(crowd_time[i], expected_time) << "member " << i;
    arrived = (int)std::count(reached.begin(), reached.end(), true);
  }
  EXPECT_EQ(faults, 0) << "moves through a wall or onto water";
  EXPECT_EQ(arrived, crowd_sz);
}

}  // namespace
