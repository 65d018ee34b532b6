// The benchmarks' site: hills, a lake with its water edge, and three 3x3
// farm drop-off groups of water-edge cells far from the lake.
#pragma once
#include <cmath>

#include "wld.h"

namespace bench_terrain {

// Rolling hills up to about 40 steps, a round lake whose shore rises gently,
// a zero border; costs, open sides and water edges by the game's own rules.
inline void make_world() {
  for (int y = 0; y < GRIDSZ; y++)
    for (int x = 0; x < GRIDSZ; x++) {
      const float hills = 20.0f + 9.0f * std::sin(x * 0.13f) * std::cos(y * 0.09f) +
                          6.0f * std::sin((x + 2 * y) * 0.05f) +
                          3.0f * std::cos(x * 0.41f + y * 0.37f);
      const float lake = std::hypot(x - 44.0f, y - 76.0f) - 15.0f;
      float h = lake < 0 ? 0.0f : hills * std::fmin(1.0f, (lake + 1.0f) / 14.0f);
      if (x == 0 || y == 0 || x == GRIDSZ - 1 || y == GRIDSZ - 1) h = 0;
      wld_height[y * GRIDSZ + x] = (uint8_t)std::lround(h);
    }
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  for (int c = 0; c < GRIDCELLS; c++)
    wld_goalweight[c] = grid_celltype(wld_cellflags[c]) == WATR ? 1.0f : 0.0f;
  // Drop-off groups of farm fields far from the lake, on the same field.
  const int centres[3][2] = {{100, 20}, {20, 20}, {105, 100}};
  for (const auto& ctr : centres)
    for (int dy = -1; dy <= 1; dy++)
      for (int dx = -1; dx <= 1; dx++) {
        const int c = (ctr[1] + dy) * GRIDSZ + ctr[0] + dx;
        wld_cellflags[c] = grid_with_celltype(wld_cellflags[c], WATR);
        wld_goalweight[c] = 2.0f;
      }
}

}  // namespace bench_terrain
