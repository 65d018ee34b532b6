// The world update of a full crowd: one frame of four steps (fields on the
// pool, physics, production, fatigue, jobs), and the fatigue and job pass
// alone.
#include <benchmark/benchmark.h>

#include "crowd.h"
#include "mtbe.h"
#include "sdlmain.h"
#include "threadpool.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_update.h"

// 4000 members of all trades spread over the flat site, one per cell.
static void full_world() {
  mtbe_clear();
  for (int c = 0; c < GRIDCELLS; c++) wld_height[c] = wld_is_border(c) ? 0 : 5;
  wld_init();
  wld_add_taxc(61, 59);
  for (int i = 0; i < CROWDSZ; i++) {
    wld_spawn(i % TRADECNT);
    float x = 10.5f + i % 100, y = 10.5f + i / 100 * 2;
    cpBodySetPosition(wld_bodies[i], cpv(x, y));
    cpSpaceReindexShapesForBody(wld_space, wld_bodies[i]);  // not all at the office
    crowd_posx[i] = x, crowd_posy[i] = y;
  }
  sdlmain_cheat = 1;  // nobody dies while the clock runs on
  wld_started = 1;
}

static void BM_WorldFrame4000(benchmark::State& state) {
  full_world();
  threadpool_create();
  for (auto _ : state) wld_update(4, 1.0 / 60.0);
  threadpool_destroy();
  wld_exit();
}
BENCHMARK(BM_WorldFrame4000)->Unit(benchmark::kMillisecond)->UseRealTime();

static void BM_FatigueAndJobs4000(benchmark::State& state) {
  full_world();
  crowd_splat();
  for (auto _ : state) {
    wld_update_fatigue(1.0 / 60.0);
    wld_run_jobs();
  }
  wld_exit();
}
BENCHMARK(BM_FatigueAndJobs4000)->Unit(benchmark::kMicrosecond);
