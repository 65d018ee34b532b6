// The world update of a full crowd in a running game on the generated
// terrain: one frame of four steps (fields on the pool, physics, production,
// fatigue, jobs); the steered physics of such frames, which is what the frame
// costs at the least; the four physics steps of a crowd
// nobody steers; the frame at smaller crowds; the fatigue and job pass; a
// saved crowd stacked on one spot, loaded and played on; and the steering of
// the whole crowd alone.
#include <benchmark/benchmark.h>

#include <chrono>

#include "running_game.h"
#include "save_game.h"
#include "wld_fields.h"
#include "wld_jobs.h"
#include "wld_update.h"

// Two game minutes of scripted play, then the crowd filled to the size and a
// few frames to let the fields and bodies settle. The game is kept between
// benchmarks of the same size, so each repetition does not replay it.
static bool game_of(int members) {
  static int made = -1;
  if (made == members) return true;
  if (made >= 0) running_game_end();
  made = -1;
  if (!running_game_start(120.0, members, 30)) return false;
  made = members;
  return true;
}

static void BM_WorldFrame(benchmark::State& state) {
  if (!game_of((int)state.range(0))) return state.SkipWithError("no terrain map");
  for (auto _ : state) wld_update(4, 4.0 / 240.0);
  state.counters["members"] = crowd_sz;
}
BENCHMARK(BM_WorldFrame)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

// Real frames of the running game, timed only over their steered physics
// steps, so the steering reads flow fields as fresh as a frame's and the
// crowd moves as it does in play. The frame's whole time rides along, and
// their ratio is what the rest of the frame costs on top of the physics.
static void BM_PhysicsSteered4000(benchmark::State& state) {
  using clock = std::chrono::steady_clock;
  if (!game_of(4000)) return state.SkipWithError("no terrain map");
  const double dt = 4.0 / 240.0;
  double physics = 0.0, frames = 0.0;
  for (auto _ : state) {
    const clock::time_point begin = clock::now();
    if (!wld_update_begin(dt)) return state.SkipWithError("the game is not started");
    const clock::time_point steps = clock::now();
    wld_update_bodies(4);
    const clock::time_point stepped = clock::now();
    wld_update_finish(4, dt);
    const double t = std::chrono::duration<double>(stepped - steps).count();
    state.SetIterationTime(t);
    physics += t;
    frames += std::chrono::duration<double>(clock::now() - begin).count();
  }
  state.counters["frame_ms"] = frames * 1e3 / (double)state.iterations();
  state.counters["frame_per_physics"] = physics > 0.0 ? frames / physics : 0.0;
}
BENCHMARK(BM_PhysicsSteered4000)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(300);

static void BM_PhysicsOnly4000(benchmark::State& state) {
  if (!game_of(4000)) return state.SkipWithError("no terrain map");
  for (auto _ : state) {
    for (int s = 0; s < 4; s++) cpSpaceStep(wld_space, 1.0 / 240.0);
  }
}
BENCHMARK(BM_PhysicsOnly4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(300);

static void BM_FatigueAndJobs4000(benchmark::State& state) {
  if (!game_of(4000)) return state.SkipWithError("no terrain map");
  crowd_splat();
  for (auto _ : state) {
    wld_update_fatigue(1.0 / 60.0);
    wld_run_jobs();
  }
}
BENCHMARK(BM_FatigueAndJobs4000)->Unit(benchmark::kMicrosecond);

// A saved game whose whole crowd stands on one spot: its load and the four
// frames after it. The played game goes back for the benchmarks after this.
static void BM_StackedCrowdLoadAndFrames4000(benchmark::State& state) {
  if (!game_of(4000)) return state.SkipWithError("no terrain map");
  const SavePair played = save_pair_of_world();
  for (int i = 1; i < crowd_sz; i++) crowd_posx[i] = crowd_posx[0], crowd_posy[i] = crowd_posy[0];
  const SavePair stacked = save_pair_of_world();
  for (auto _ : state) {
    if (!save_pair_load(stacked)) return state.SkipWithError("the stacked crowd was refused");
    for (int f = 0; f < 4; f++) wld_update(4, 4.0 / 240.0);
  }
  if (!save_pair_load(played)) state.SkipWithError("the played game was refused");
}
BENCHMARK(BM_StackedCrowdLoadAndFrames4000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

// The frame as the crowd grows.
BENCHMARK(BM_WorldFrame)
    ->Arg(2000)
    ->Arg(1000)
    ->Arg(500)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(300);

// One steering pass over the crowd, as before each physics step.
static void BM_SteerOnly4000(benchmark::State& state) {
  if (!game_of(4000)) return state.SkipWithError("no terrain map");
  for (auto _ : state) wld_steer_bodies();
}
BENCHMARK(BM_SteerOnly4000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);
