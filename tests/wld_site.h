// Terrains and whole-grid checks shared by the world tests.
#pragma once
#include <gtest/gtest.h>

#include <random>

#include "wld.h"
#include "wld_physics.h"
#include "wld_walls.h"

inline int site_cell(int x, int y) { return y * GRIDSZ + x; }

// Height h inside, 0 on the border.
inline void site_flat(uint8_t h) {
  for (int c = 0; c < GRIDCELLS; c++) wld_height[c] = wld_is_border(c) ? 0 : h;
}

// Heights 0..maxh everywhere, the border included.
inline void site_random(unsigned seed, int maxh) {
  std::mt19937 rng(seed);
  for (int c = 0; c < GRIDCELLS; c++) wld_height[c] = (uint8_t)(rng() % (maxh + 1));
}

// Costs, flags, a fresh space and its walls, as a new world has them.
inline int site_build() {
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  wld_create_space();
  return wld_create_walls();
}

inline int site_count(cpShape* const* walls) {
  int n = 0;
  for (int c = 0; c < GRIDCELLS; c++) n += walls[c] != nullptr;
  return n;
}

// Costs symmetric across every edge; open bits exactly where the cost is
// below FLT_UNDF; a wall exactly on the closed east and south edges of
// columns and rows 0..126.
inline void expect_site_consistent() {
  int bad = 0;
  for (int c = 0; c < GRIDCELLS && bad < 5; c++) {
    int x = c % GRIDSZ, y = c / GRIDSZ;
    const float cost[4] = {basecostw[c], basecoste[c], basecostn[c], basecosts[c]};
    const uint8_t bit[4] = {OPEN_W, OPEN_E, OPEN_N, OPEN_S};
    for (int s = 0; s < 4; s++) {
      bool open = (wld_cellflags[c] & bit[s]) != 0;
      if (open != (cost[s] < FLT_UNDF)) {
        ADD_FAILURE() << "open bit " << (int)bit[s] << " of " << x << "," << y << " vs cost " << cost[s];
        bad++;
      }
    }
    if (x < GRIDSZ - 1 && basecoste[c] != basecostw[c + 1]) {
      ADD_FAILURE() << "east/west costs differ at " << x << "," << y;
      bad++;
    }
    if (y < GRIDSZ - 1 && basecosts[c] != basecostn[c + GRIDSZ]) {
      ADD_FAILURE() << "south/north costs differ at " << x << "," << y;
      bad++;
    }
    if (x == GRIDSZ - 1 || y == GRIDSZ - 1) {
      if (wld_eastwalls[c] || wld_southwalls[c]) {
        ADD_FAILURE() << "wall outside the site at " << x << "," << y;
        bad++;
      }
      continue;
    }
    if ((wld_eastwalls[c] != nullptr) != (basecoste[c] == FLT_UNDF) ||
        (wld_southwalls[c] != nullptr) != (basecosts[c] == FLT_UNDF)) {
      ADD_FAILURE() << "wall and cost disagree at " << x << "," << y;
      bad++;
    }
  }
}

// Every test leaves the physics torn down.
class WorldTest : public ::testing::Test {
 protected:
  void TearDown() override { wld_exit(); }
};
