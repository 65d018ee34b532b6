#include <cmath>

#include "wld_site.h"

namespace {

int type_of(int x, int y) { return wld_cellflags[grid_cidx(x, y)] >> 4; }

TEST(WldStepCosts, HeightDifferencesBelowFourJoinCellsBothWays) {
  site_flat(5);
  const int a = grid_cidx(10, 10), b = grid_cidx(10, 20), w = grid_cidx(30, 30);
  wld_height[a + 1] = 8;
  wld_height[b + 1] = 9;
  wld_height[w] = 0;
  wld_height[grid_cidx(40, 41)] = 6;
  wld_compute_basecosts(wld_height);

  EXPECT_EQ(basecoste[a], 4.0f);
  EXPECT_EQ(basecostw[a + 1], 4.0f);
  EXPECT_EQ(basecoste[b], FLT_UNDF);
  EXPECT_EQ(basecostw[b + 1], FLT_UNDF);
  EXPECT_EQ(basecosts[grid_cidx(40, 40)], 2.0f);
  EXPECT_EQ(basecostn[grid_cidx(40, 41)], 2.0f);
  EXPECT_EQ(basecostw[a], 1.0f);
  EXPECT_EQ(basecoste[w - 1], FLT_UNDF);  // water closes every side
  EXPECT_EQ(basecostn[w + GRIDSZ], FLT_UNDF);
}

TEST(WldCellFlags, WaterEdgesOnlyForLowCellsAwayFromTheBorder) {
  site_flat(5);
  wld_height[grid_cidx(2, 1)] = 0;
  wld_height[grid_cidx(2, 2)] = 2;
  wld_height[grid_cidx(1, 2)] = 2;  // west of it lies the border
  wld_height[grid_cidx(10, 9)] = 0;
  wld_height[grid_cidx(10, 10)] = 3;
  wld_height[grid_cidx(21, 20)] = 0;
  wld_height[grid_cidx(20, 20)] = 1;
  wld_height[grid_cidx(125, 49)] = 0;
  wld_height[grid_cidx(125, 50)] = 2;
  wld_height[grid_cidx(126, 60)] = 2;
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();

  EXPECT_EQ(wld_cellflags[grid_cidx(2, 2)], (WATR << 4) | OPEN_W | OPEN_E | OPEN_S);
  EXPECT_EQ(wld_cellflags[grid_cidx(1, 2)], OPEN_E | OPEN_N | OPEN_S);
  EXPECT_EQ(wld_cellflags[grid_cidx(10, 10)], OPEN_W | OPEN_E | OPEN_S);
  EXPECT_EQ(type_of(20, 20), WATR);
  EXPECT_EQ(type_of(125, 50), WATR);
  EXPECT_EQ(type_of(126, 60), 0);
  EXPECT_EQ(wld_cellflags[grid_cidx(21, 20)], 0);
  EXPECT_EQ(wld_cellflags[grid_cidx(50, 50)], OPEN_W | OPEN_E | OPEN_N | OPEN_S);
}

using WldGrids = WorldTest;

// Border heights are not trusted: a border cell stays closed whatever it holds.
TEST_F(WldGrids, RandomTerrainKeepsCostsBitsAndWallsInStep) {
  for (unsigned seed = 1; seed <= 3; seed++) {
    site_random(seed, 8);
    for (int i = 0; i < GRIDSZ; i++) wld_height[grid_cidx(i, 0)] = wld_height[grid_cidx(0, i)] = 4;
    site_build();
    EXPECT_EQ(site_faults(), 0);
    int open = 0;
    for (int c = 0; c < GRIDCELLS; c++) {
      open += basecoste[c] < FLT_UNDF;
      if (!wld_is_border(c)) continue;
      ASSERT_EQ(wld_cellflags[c], 0) << c;
      ASSERT_EQ(basecostw[c] + basecoste[c] + basecostn[c] + basecosts[c], 4 * FLT_UNDF) << c;
    }
    EXPECT_GT(open, GRIDCELLS / 10);  // a mixed terrain, not all cliffs
  }
}

TEST_F(WldGrids, RaiseByThreeWallsOneEdgeAndLoweringOpensIt) {
  site_flat(5);
  const int c = grid_cidx(50, 50);
  wld_height[c + 1] = 4;
  int walls = site_build();

  wld_height[c] += 3;  // 8 | 4 now, 8 | 5 elsewhere
  wld_update_cell_costs(c);
  EXPECT_EQ(site_walls(), walls + 1);
  EXPECT_NE(wld_eastwalls[c], nullptr);
  EXPECT_EQ(basecoste[c], FLT_UNDF);
  EXPECT_EQ(basecostw[c + 1], FLT_UNDF);
  EXPECT_EQ(basecostn[c], 4.0f);
  EXPECT_EQ(wld_cellflags[c], OPEN_W | OPEN_N | OPEN_S);
  EXPECT_EQ(site_faults(), 0);

  wld_height[c] -= 1;
  wld_update_cell_costs(c);
  EXPECT_EQ(site_walls(), walls);
  EXPECT_EQ(basecostw[c + 1], 4.0f);
  EXPECT_EQ(site_faults(), 0);
}

TEST_F(WldGrids, UpdateKeepsTypesAndFollowsHeightsWithoutASpace) {
  site_flat(5);
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  const int c = grid_cidx(80, 80);
  wld_cellflags[c] |= MARK << 4;
  wld_height[c] = 9;  // the walls are refused, the grids still follow
  wld_update_cell_costs(c);
  EXPECT_EQ(wld_cellflags[c], MARK << 4);
  EXPECT_EQ(wld_cellflags[c - 1] & OPEN_E, 0);
  EXPECT_EQ(basecostn[c + GRIDSZ], FLT_UNDF);
  wld_height[c] = 6;
  wld_update_cell_costs(c);
  EXPECT_EQ(wld_cellflags[c], (MARK << 4) | OPEN_W | OPEN_E | OPEN_N | OPEN_S);
  EXPECT_EQ(basecostw[c + 1], 2.0f);
  wld_update_cell_costs(-1);
  wld_update_cell_costs(GRIDCELLS);
}

// One cell at a time, as completed marks do, must end where a rebuild from
// the final heights ends.
TEST_F(WldGrids, RandomEditsMatchARebuild) {
  site_random(11, 6);
  site_build();
  std::mt19937 rng(5);
  for (int k = 0; k < 3000; k++) {
    int c = rng() % GRIDCELLS;
    int h = (int)wld_height[c] + (int)(rng() % 9) - 4;
    wld_height[c] = (uint8_t)(h < 0 ? 0 : h > 15 ? 15 : h);
    wld_update_cell_costs(c);
  }
  EXPECT_EQ(site_faults(), 0);

  static float w[GRIDCELLS], n[GRIDCELLS];
  static uint8_t sides[GRIDCELLS];
  for (int c = 0; c < GRIDCELLS; c++) {
    w[c] = basecostw[c];
    n[c] = basecostn[c];
    sides[c] = wld_cellflags[c] & 15;
  }
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  for (int c = 0; c < GRIDCELLS; c++) {
    ASSERT_EQ(w[c], basecostw[c]) << c;
    ASSERT_EQ(n[c], basecostn[c]) << c;
    ASSERT_EQ(sides[c], wld_cellflags[c] & 15) << c;
  }
}

TEST(WldFastAtan2, KnownValuesAndErrorBelowTwoThousandths) {
  EXPECT_NEAR(wld_fast_atan2(0, 0), 1.5708f, 1e-4);
  EXPECT_NEAR(wld_fast_atan2(0, -1), 3.14159f, 1e-4);
  EXPECT_NEAR(wld_fast_atan2(-1, -1), -2.35619f, 1e-4);
  EXPECT_NEAR(wld_fast_atan2(-1, 0), -1.5708f, 1e-4);

  const int steps = 200000;
  for (float radius : {1e-3f, 1.0f, 250.0f}) {
    double worst = 0;
    for (int i = 0; i < steps; i++) {
      double angle = -M_PI + 2 * M_PI * i / steps;
      float x = (float)(radius * cos(angle)), y = (float)(radius * sin(angle));
      worst = fmax(worst, fabs(remainder(wld_fast_atan2(y, x) - atan2(y, x), 2 * M_PI)));
    }
    EXPECT_LT(worst, 0.0102) << "radius " << radius;
  }
}

}  // namespace
