// Static wall segments on impassable cell edges, kept in step with the
// step costs and open-side bits of the world grids.
#pragma once
#include <chipmunk/chipmunk.h>

#include "wld.h"

// The wall on a cell's east edge ((x, y) | (x + 1, y)) and south edge
// ((x, y) over (x, y + 1)); null = none.
extern cpShape* wld_eastwalls[GRIDCELLS];
extern cpShape* wld_southwalls[GRIDCELLS];

// 1 when added (the edge's costs become FLT_UNDF and its open bits clear),
// 0 when a wall is already there, the edge leaves the grid or no space exists.
int wld_add_east_wall(int x, int y);
int wld_add_south_wall(int x, int y);
// False when there was no wall; otherwise the edge gets its step cost back
// and its open bits set.
bool wld_remove_east_wall(int x, int y);
bool wld_remove_south_wall(int x, int y);
// Walls on every closed east and south edge of columns and rows 0..126.
int wld_create_walls();
int wld_clear_walls();
// A building's walls around its centre cell; returns how many were added.
// An edge that has a wall already keeps it.
int wld_walls_bakery(int x, int y);
int wld_walls_taxc(int x, int y);
int wld_walls_hut(int x, int y);
// The walls of every bakery, hut and tax office, as a load puts them up.
int wld_walls_buildings();
// After cidx's edges were rebuilt from the heights: the building walls on
// them that are missing go up again, so the edges stand as a load builds them.
int wld_walls_buildings_at(int cidx);
