// One whole game frame at 1280x720 on the software rasteriser: the
// controller created as the shell creates it, a running game with a full
// crowd, and per frame the controller's update and draw up to glFinish; next
// to it the update alone. The frame's draw calls ride along as counters, for
// a small crowd too, where they must come out the same.
#include <benchmark/benchmark.h>

#include "game_screen.h"

static game_screen screen;
static int64_t crowd_draws[2];  // a frame's at 100 members and at the full crowd

// The screen opens once; the game is kept between benchmarks of one size.
// Its draw calls are counted once at 100 members and once filled up to the
// size, at the same moment of play; their mean over the timed frames moves
// with the HUD's numerals (one call per place of a counter) and the kinds of
// item in play.
static const char* game_of(int members) {
  static bool opened = false, counting = false;
  static int made = -1;
  if (!opened) {
    opened = true;
    if (!game_screen_open(&screen, 1280, 720)) return "no window or GL context";
    counting = drawcount_install();
  }
  if (!screen.context) return "no window or GL context";
  if (!counting) return "the driver lacks a draw entry point";
  if (made == members) return nullptr;
  if (made >= 0) running_game_end();
  made = -1;
  if (!running_game_start(120.0, 0, 0)) return "no terrain map";
  made = members;
  const int crowds[2] = {100, members};
  drawcount_crowds(&screen, crowds, 2, crowd_draws);
  for (int f = 0; f < 30; f++) autoplay_frame();  // the new members settle
  return nullptr;
}

static void BM_GameFrame(benchmark::State& state) {
  if (const char* why = game_of((int)state.range(0))) return state.SkipWithError(why);
  int64_t draws = 0;
  for (auto _ : state) {
    game_screen_update();
    draws += drawcount_frame(&screen);
    glFinish();
  }
  state.counters["members"] = crowd_sz;
  state.counters["draws_100"] = (double)crowd_draws[0];
  state.counters["draws"] = (double)crowd_draws[1];
  state.counters["draws_mean"] = (double)draws / (double)state.iterations();
}
BENCHMARK(BM_GameFrame)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(60);

static void BM_ControllerUpdate(benchmark::State& state) {
  if (const char* why = game_of((int)state.range(0))) return state.SkipWithError(why);
  for (auto _ : state) ctrl_update(4, 4.0 / 240.0);
  state.counters["members"] = crowd_sz;
}
BENCHMARK(BM_ControllerUpdate)
    ->Arg(4000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(60);

// A small crowd: the draw calls of its frames against the full crowd's.
BENCHMARK(BM_GameFrame)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(60);
