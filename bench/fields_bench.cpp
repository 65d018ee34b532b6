// The field jobs at full crowd: 4000 workers of every job state on the hilly
// site with its lake, the game's goal groups for all nine worker fields and
// cat targets for the tenth. One whole field job (solve, flow field, moving
// its group), one physics step among the site's walls, and one frame's
// refresh of two fields on the pool.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench_terrain.h"
#include "crowd.h"
#include "threadpool.h"
#include "wld_fields.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_walls.h"

namespace {

void stamp_block(int x0, int y0, int w, int h, int type, float weight) {
  for (int y = y0; y < y0 + h; y++)
    for (int x = x0; x < x0 + w; x++) {
      const int c = y * GRIDSZ + x;
      wld_cellflags[c] = (wld_cellflags[c] & 15) | type << 4;
      wld_goalweight[c] = weight;
    }
}

// The stone stock in its corner, a build-mark area, two farms, two bakeries,
// two huts and a tax office, each goal group where the game stamps it.
void stamp_goals() {
  stamp_block(119, 119, 6, 6, STCK, 1.0f);
  stamp_block(60, 40, 5, 5, MARK, 1.0f);
  for (int x : {80, 30}) {
    stamp_block(x - 1, 100, 3, 1, FARM, 1.5f);
    stamp_block(x - 1, 102, 3, 1, GRAI, 1.0f);
  }
  for (int x : {90, 50}) {
    stamp_block(x, 60, 1, 1, BAKG, 2.0f);
    stamp_block(x + 1, 61, 1, 1, BAKF, 2.0f);
  }
  for (int x : {70, 100}) {
    stamp_block(x, 80, 1, 1, FOOD, 1.0f);
    stamp_block(x, 81, 1, 1, REST, 1.0f);
  }
  stamp_block(64, 20, 1, 1, FOOD, 2.0f);
}

std::vector<cpVect> start;

// Members one to a land cell, of all nine states, with bodies among the
// site's walls; the cats' grids mark a hundred of them as targets.
void make_world() {
  bench_terrain::make_world();
  stamp_goals();
  wld_create_space();
  wld_create_walls();
  std::mt19937 rng(3);
  std::vector<bool> taken(GRIDCELLS);
  memcpy(wld_catflags, wld_cellflags, sizeof wld_catflags);
  while (crowd_sz < CROWDSZ) {
    const int c = rng() % GRIDCELLS;
    if (taken[c] || (wld_cellflags[c] & 15) == 0 || (wld_cellflags[c] >> 4) != 0) continue;
    taken[c] = true;
    const int i = crowd_sz;
    crowd_add(i % 4);
    crowd_goal[i] = 1 + i % 9;
    start.push_back(cpv(c % GRIDSZ + 0.5, c / GRIDSZ + 0.5));
    if (i % 40 == 0) {
      wld_catflags[c] = (wld_catflags[c] & 15) | CATT << 4;
      wld_catweight[c] = 0.0f;
    }
  }
  wld_started = 1;
  wld_dt = 4.0 / 240;
}

// Every member back at its start, at rest, with a direction from every field.
void reset_crowd(const benchmark::State&) {
  if (start.empty()) make_world();
  wld_remove_bodies();
  for (int i = 0; i < crowd_sz; i++) wld_add_body(i, (float)start[i].x, (float)start[i].y);
  for (int f = 0; f < 5; f++) wld_update_fields();
}

void BM_FieldJob(benchmark::State& st) {
  task_arg arg = {st.range(0), 0, 0};
  for (auto _ : st) {
    wld_compute_potential(&arg);
    benchmark::DoNotOptimize(crowd_posx[0]);
  }
}

// A second of walking, steered before each step as the world update does.
void BM_SpaceStep(benchmark::State& st) {
  for (auto _ : st) {
    st.PauseTiming();
    wld_steer_bodies();
    st.ResumeTiming();
    cpSpaceStep(wld_space, 1.0f / 240);
  }
}

void BM_UpdateFields(benchmark::State& st) {
  if (!threadpool_pool) threadpool_create();
  for (auto _ : st) wld_update_fields();
}

}  // namespace

// Field 0 seeks the far stone stock, 2 the lake shore, 8 two hut entries.
BENCHMARK(BM_FieldJob)->Setup(reset_crowd)->Arg(0)->Arg(2)->Arg(8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpaceStep)->Setup(reset_crowd)->Iterations(240)->Unit(benchmark::kMicrosecond);
// Whole cycles of the five field pairs.
BENCHMARK(BM_UpdateFields)->Setup(reset_crowd)->Iterations(500)->Unit(benchmark::kMicrosecond);
