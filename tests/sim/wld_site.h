// Terrains and whole-grid checks shared by the world tests.
#pragma once
#include <gtest/gtest.h>

#include <random>

#include "fresh_sim.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_walls.h"

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

inline int site_walls() {
  int n = 0;
  for (int c = 0; c < GRIDCELLS; c++)
    n += (wld_eastwalls[c] != nullptr) + (wld_southwalls[c] != nullptr);
  return n;
}

// Edges breaking the rules: costs equal from both sides, an open bit exactly
// where the cost is below FLT_UNDF, a wall exactly on the closed east and
// south edges of columns and rows 0..126.
inline int site_faults() {
  int bad = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    int x = c % GRIDSZ, y = c / GRIDSZ;
    uint8_t f = wld_cellflags[c];
    bad += ((f & OPEN_W) != 0) != (basecostw[c] < FLT_UNDF);
    bad += ((f & OPEN_E) != 0) != (basecoste[c] < FLT_UNDF);
    bad += ((f & OPEN_N) != 0) != (basecostn[c] < FLT_UNDF);
    bad += ((f & OPEN_S) != 0) != (basecosts[c] < FLT_UNDF);
    bad += x < GRIDSZ - 1 && basecoste[c] != basecostw[c + 1];
    bad += y < GRIDSZ - 1 && basecosts[c] != basecostn[c + GRIDSZ];
    bool site = x < GRIDSZ - 1 && y < GRIDSZ - 1;
    bad += (wld_eastwalls[c] != nullptr) != (site && basecoste[c] == FLT_UNDF);
    bad += (wld_southwalls[c] != nullptr) != (site && basecosts[c] == FLT_UNDF);
  }
  return bad;
}

// Every test leaves the world as a fresh process has it, the physics torn
// down.
class WorldTest : public ::testing::Test {
 protected:
  void TearDown() override { fresh_sim(); }
};
