// Per-step and per-event costs of the blocks, marks and item pools.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>

#include "food.h"
#include "grain.h"
#include "stones.h"
#include "wld.h"

static void new_world() {
  std::fill_n(wld_height, GRIDCELLS, 41);
  std::fill_n(wld_cellflags, GRIDCELLS, 0x0f);
  srand(1);
  stones_init();
}

// Runs up to eight times a frame; a complete pyramid is the longest walk.
static void BM_PyramidLevel(benchmark::State& state) {
  new_world();
  for (int L = 0; L < 7; L++)
    for (int r = 62 + L; r <= 74 - L; r++)
      for (int c = 36 + L; c <= 48 - L; c++) wld_height[r * GRIDSZ + c] = (uint8_t)(41 + 3 * L);
  for (auto _ : state) benchmark::DoNotOptimize(stones_compute_pyramid_level(wld_height));
}
BENCHMARK(BM_PyramidLevel);

// Toggling a mark that holds eight blocks: each restock restarts the scan.
static void BM_ToggleFullMark(benchmark::State& state) {
  new_world();
  const int cidx = 62 * GRIDSZ + 36;
  for (auto _ : state) {
    state.PauseTiming();
    if ((wld_cellflags[cidx] >> 4) != MARK) stones_toggle_mark(cidx);
    bool changed = false;
    for (int n = 0; n < 8; n++) {
      int s = stones_take(n);
      stones_deposit(s, 36, 62, wld_height, &changed);
    }
    state.ResumeTiming();
    stones_toggle_mark(cidx);
  }
}
BENCHMARK(BM_ToggleFullMark);

// A bake when only the last food slot is free.
static void BM_FoodCreateNearlyFull(benchmark::State& state) {
  const float pos[3] = {1, 2, 3};
  food_reset();
  for (int i = 0; i < MAXFOOD; i++) food_create_at_bakery(0, pos);
  for (auto _ : state) {
    food_release(MAXFOOD - 1);
    benchmark::DoNotOptimize(food_create_at_bakery(0, pos));
  }
}
BENCHMARK(BM_FoodCreateNearlyFull);

// The world update counts the grain in use once a frame.
static void BM_GrainCountInUse(benchmark::State& state) {
  grain_reset();
  for (int i = 0; i < MAXGRAIN; i += 2) grain_assign(i);
  for (auto _ : state) benchmark::DoNotOptimize(grain_count_in_use());
}
BENCHMARK(BM_GrainCountInUse);
