// The world: per-cell grids, cell types, potential and flow fields, selection.
#pragma once
#include <cstdint>

#include "grid.h"

enum { FLOW_X = 0, FLOW_Y = 1, FLOW_ANGLE = 2 };

extern uint8_t wld_height[GRIDCELLS];
extern uint8_t wld_cellflags[GRIDCELLS];
extern float basecostw[GRIDCELLS];
extern float basecoste[GRIDCELLS];
extern float basecostn[GRIDCELLS];
extern float basecosts[GRIDCELLS];
extern float wld_goalweight[GRIDCELLS];
extern uint8_t wld_catflags[GRIDCELLS];
extern float wld_catweight[GRIDCELLS];
extern float wld_potential[GROUPCNT][POTENTIALSZ];
extern float wld_flow[GROUPCNT][3][GRIDCELLS];

extern int wld_selected;     // picked worker, -1 none
extern int wld_selectedcat;  // picked cat, -1 none

// trunc(v) held on the grid: a coordinate past an edge, or a NaN, still
// names a row or column of the grid.
int wld_grid_coord(float v);
// The cell nearest to (x, y), taken onto the grid, whose byte in cells has a
// bit of mask: the nearest of the first ring around it that holds one; -1
// when no cell does.
int wld_nearest_cell(const uint8_t* cells, uint8_t mask, float x, float y);
// True for the cells of row or column 0 and 127 (and for indices off the grid).
bool wld_is_border(int cidx);
// Cost of one step between neighbouring cells a and b: the height difference
// plus 1, or FLT_UNDF for a cliff of 4 or more, water, or a border cell.
float wld_step_cost(int a, int b);
// Rebuilds the four step-cost grids from a height grid of GRIDCELLS bytes.
void wld_compute_basecosts(const uint8_t* heights);
// The open-side bits of cell c by its four step costs.
uint8_t wld_open_sides(int c);
// Rebuilds wld_cellflags (open sides and water edges) from the costs and
// wld_height; every other cell type is wiped.
void wld_compute_cellflags();
// After wld_height[cidx] changed: new costs for the cell's four edges, with
// walls added on edges that closed and removed from edges that opened, the
// buildings' walls kept: the edges stand as a load would build them.
void wld_update_cell_costs(int cidx);
// Angle of (x, y) in -pi..pi, within about 0.0101 radians.
float wld_fast_atan2(float y, float x);
