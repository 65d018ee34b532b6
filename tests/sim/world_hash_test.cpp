// The world's state after a stretch of a running game with a big crowd,
// hashed: the field jobs, the solver and the steering may get faster, but
// what the game computes must stay the same bit for bit.
#include <gtest/gtest.h>

#include <cstring>

#include "cats.h"
#include "potfield.h"
#include "running_game.h"
#include "save_game.h"

namespace {

struct Hash {
  uint64_t h = 1469598103934665603ull;  // FNV-1a
  void add(const void* p, size_t n) {
    const unsigned char* b = (const unsigned char*)p;
    for (size_t i = 0; i < n; i++) h = (h ^ b[i]) * 1099511628211ull;
  }
  template <typename T>
  void add(const T& v) {
    add(&v, sizeof v);
  }
};

void add_body(Hash& h, cpBody* b) {
  if (!b) return h.add(0);
  h.add(cpBodyGetPosition(b));
  h.add(cpBodyGetVelocity(b));
  h.add(cpBodyGetAngle(b));
  h.add(cpBodyGetAngularVelocity(b));
}

// Everything saved, the crowd's per-frame arrays and grids, every body and
// the fields with their solver states. The angle grids are left out: play
// no longer writes them.
uint64_t world_hash() {
  Hash h;
  const SavePair saved = save_pair_of_world();
  h.add(saved.txt.data(), saved.txt.size());
  h.add(saved.bin.data(), saved.bin.size());
  const size_t n = crowd_sz;
  for (const float* a : {crowd_velx, crowd_vely, crowd_fracx, crowd_fracy, crowd_dirx, crowd_diry})
    h.add(a, n * sizeof(float));
  h.add(crowd_cidx, n * sizeof(int32_t));
  h.add(crowd_density);
  for (const float* g :
       {crowd_avgvx, crowd_avgvy, crowd_costw, crowd_coste, crowd_costn, crowd_costs})
    h.add(g, GRIDCELLS * sizeof(float));
  for (int i = 0; i < crowd_sz; i++) add_body(h, wld_bodies[i]);
  for (int i = 0; i < cats_count; i++) add_body(h, cats_body[i]);
  h.add(wld_potential);
  h.add(potfield_state);
  for (int t = 0; t < GROUPCNT; t++) {
    h.add(wld_flow[t][FLOW_X]);
    h.add(wld_flow[t][FLOW_Y]);
  }
  return h.h;
}

// Ten game seconds of scripted play, then 1500 members for 60 frames: every
// field pair refreshed twelve times over a crowded site.
const uint64_t RECORDED = 0x7920a92c8b8e1984ull;

// A full reset leaves nothing of the first game behind: the second one in
// the same process ends in the same state.
TEST(WorldStateHash, RunningGameEndsInTheRecordedStateTwiceInOneProcess) {
  for (int game = 0; game < 2; game++) {
    ASSERT_TRUE(running_game_start(10.0, 1500, 60)) << "no terrain map";
    const uint64_t hash = world_hash();
    EXPECT_EQ(hash, RECORDED) << std::hex << "game " << game << ": state hash 0x" << hash;
    running_game_end();
  }
}

TEST(WorldStateHash, SeesEveryKindOfState) {
  ASSERT_TRUE(running_game_start(10.0, 1500, 60)) << "no terrain map";
  ASSERT_TRUE(wld_bodies[1400]);
  const uint64_t hash = world_hash();
  // The hash sees one bit of each kind of state.
  const struct {
    const char* what;
    void (*apply)();
  } nudges[] = {
      {"member body",
       [] {
         cpBodySetAngularVelocity(wld_bodies[1400],
                                  cpBodyGetAngularVelocity(wld_bodies[1400]) + 1e-9);
       }},
      {"potential", [] { wld_potential[7][5000] = std::nextafter(wld_potential[7][5000], 0.0f); }},
      {"flow", [] { wld_flow[3][FLOW_Y][9000] += 0.5f; }},
      {"solver state", [] { potfield_state[9][100] ^= 1; }},
      {"direction", [] { crowd_dirx[1499] += 0.25f; }},
      {"move time", [] { crowd_time[0] += 1e-6; }},
  };
  for (const auto& n : nudges) {
    n.apply();
    EXPECT_NE(world_hash(), hash) << n.what;
  }
  running_game_end();
}

}  // namespace
