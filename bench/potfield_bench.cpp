// One potential-field solve over a hilly terrain with a lake, the lake's
// water-edge cells and three 3x3 building goal groups pulling: on every path
// of the solver the processor has (0 scalar, 1 AVX with the write-back one
// slot at a time, 2 AVX2, 3 AVX-512), and a Dijkstra search over the same
// step costs.
#include <benchmark/benchmark.h>

#include <functional>
#include <queue>
#include <utility>
#include <vector>

#include "bench_terrain.h"
#include "potfield.h"

namespace {

const int FIELD = WATR - 1;
const int32_t OFFSET[4] = {-1, 1, -GRIDSZ, GRIDSZ};  // west, east, north, south
float* const COSTS[4] = {basecostw, basecoste, basecostn, basecosts};

void setup(const benchmark::State&) {
  static bool made = false;
  if (!made) bench_terrain::make_world();
  made = true;
}

void BM_Potfield(benchmark::State& st) {
  const int best = potfield_path();
  if (!potfield_use((int)st.range(0))) {
    st.SkipWithError("not on this processor");
    return;
  }
  for (auto _ : st) {
    potfield_solve(FIELD, wld_potential[FIELD], basecostw, basecoste, basecostn, basecosts,
                   potfield_state[FIELD], wld_cellflags, wld_goalweight);
    benchmark::DoNotOptimize(wld_potential[FIELD][GRIDCELLS / 2]);
  }
  potfield_use(best);
}

// Exact shortest travel costs to the goals over the same four step costs.
void dijkstra(float* dist) {
  typedef std::pair<float, int32_t> entry;
  std::priority_queue<entry, std::vector<entry>, std::greater<entry>> heap;
  for (int32_t c = 0; c < GRIDCELLS; c++) {
    dist[c] = FLT_UNDF;
    if ((wld_cellflags[c] >> 4) == FIELD + 1) {
      dist[c] = -wld_goalweight[c];
      heap.push({dist[c], c});
    }
  }
  while (!heap.empty()) {
    const entry e = heap.top();
    heap.pop();
    if (e.first > dist[e.second]) continue;
    for (int d = 0; d < 4; d++) {
      // A neighbour reaches this cell by its own step back toward it.
      const int32_t n = (e.second + OFFSET[d]) & (GRIDCELLS - 1);
      const float back = COSTS[d ^ 1][n];
      if (back == FLT_UNDF || e.first + back >= dist[n]) continue;
      dist[n] = e.first + back;
      heap.push({dist[n], n});
    }
  }
}

void BM_Dijkstra(benchmark::State& st) {
  static float dist[GRIDCELLS];
  for (auto _ : st) {
    dijkstra(dist);
    benchmark::DoNotOptimize(dist[GRIDCELLS / 2]);
  }
}

}  // namespace

BENCHMARK(BM_Potfield)
    ->Setup(setup)
    ->Unit(benchmark::kMicrosecond)
    ->ArgName("path")
    ->DenseRange(POTFIELD_SCALAR, POTFIELD_AVX512);
BENCHMARK(BM_Dijkstra)->Setup(setup)->Unit(benchmark::kMicrosecond);
