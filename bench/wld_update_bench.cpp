// The world update of a full crowd: one frame of four steps (fields on the
// pool, physics, production, fatigue, jobs) in a running game on the
// generated terrain, next to the four physics steps alone on the same world,
// and the fatigue and job pass alone.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "autoplay.h"
#include "crowd.h"
#include "terrain_map.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_update.h"

// Two game minutes of scripted play (buildings, the chain running), then the
// crowd filled to 4000 members scattered over open land, and a few frames to
// let the fields and bodies settle.
static bool running_game() {
  if (!autoplay_start(terrain_map_path().c_str())) return false;
  sdlmain_cheat = 1;  // nobody dies while the clock runs on
  autoplay_run(120.0);
  srand(7);
  while (crowd_sz < CROWDSZ) {
    int c;
    do c = rand() % GRIDCELLS;
    while (wld_cellflags[c] != 0x0f);
    const int i = wld_spawn(crowd_sz % 4);
    if (i < 0) break;
    const float x = c % GRIDSZ + 0.5f, y = c / GRIDSZ + 0.5f;
    cpBodySetPosition(wld_bodies[i], cpv(x, y));
    cpSpaceReindexShapesForBody(wld_space, wld_bodies[i]);
    crowd_posx[i] = x, crowd_posy[i] = y;
  }
  for (int f = 0; f < 30; f++) autoplay_frame();
  return true;
}

static void end_game() {
  autoplay_stop();
  sdlmain_cheat = 0;
}

static void BM_WorldFrame4000(benchmark::State& state) {
  if (!running_game()) {
    state.SkipWithError("no terrain map");
    return;
  }
  for (auto _ : state) wld_update(4, 4.0 / 240.0);
  state.counters["members"] = crowd_sz;
  end_game();
}
BENCHMARK(BM_WorldFrame4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

static void BM_PhysicsOnly4000(benchmark::State& state) {
  if (!running_game()) {
    state.SkipWithError("no terrain map");
    return;
  }
  for (auto _ : state) {
    for (int s = 0; s < 4; s++) cpSpaceStep(wld_space, 1.0 / 240.0);
  }
  end_game();
}
BENCHMARK(BM_PhysicsOnly4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

static void BM_FatigueAndJobs4000(benchmark::State& state) {
  if (!running_game()) {
    state.SkipWithError("no terrain map");
    return;
  }
  crowd_splat();
  for (auto _ : state) {
    wld_update_fatigue(1.0 / 60.0);
    wld_run_jobs();
  }
  end_game();
}
BENCHMARK(BM_FatigueAndJobs4000)->Unit(benchmark::kMicrosecond);
