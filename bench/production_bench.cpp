// One simulation step of every farm field and every bakery at full tables:
// the world runs this 240 times per simulated second.
#include <benchmark/benchmark.h>

#include <cstring>

#include "bakeries.h"
#include "farms.h"
#include "mtbe.h"
#include "wld.h"
#include "wld_state.h"

static void fill_site() {
  mtbe_clear();
  memset(wld_height, 10, sizeof wld_height);
  memset(wld_cellflags, 0x0f, sizeof wld_cellflags);
  wld_age = 100.0;
}

static void BM_FarmsUpdate512(benchmark::State& state) {
  fill_site();
  farms_reset();
  for (int i = 0; i < MAXFARMS; i++) farms_add(1 + i % 42 * 3, 1 + i / 42 * 3);
  for (int i = 0; i < MAXFARMS; i++) farms_watr[i] = 15.0f;  // every farm grows
  for (auto _ : state) {
    wld_age += 1.0 / 240;
    farms_update(1.0f / 240);
    for (int i = 0; i < MAXFARMS; i += 7) farms_harvest(farms_cidx[i] + GRIDSZ);
  }
}
BENCHMARK(BM_FarmsUpdate512);

static void BM_BakeriesUpdate32(benchmark::State& state) {
  fill_site();
  bakeries_reset();
  for (int b = 0; b < MAXBAKERIES; b++) bakeries_add(3 + b % 8 * 5, 3 + b / 8 * 5);
  for (auto _ : state) {
    wld_age += 1.0 / 240;
    for (int b = 0; b < bakeries_count; b++) bakeries_full[b] = bakeries_empt[b] = 1;
    bakeries_update(1.0f / 240);
  }
}
BENCHMARK(BM_BakeriesUpdate32);
