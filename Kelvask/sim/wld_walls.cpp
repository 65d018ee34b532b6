#include "wld_walls.h"

#include <cstdlib>

#include "bakeries.h"
#include "huts.h"
#include "log.h"
#include "taxc.h"
#include "wld_physics.h"

cpShape* wld_eastwalls[GRIDCELLS];
cpShape* wld_southwalls[GRIDCELLS];

// One kind of edge: the cell's own cost grid and open bit, and those of the
// neighbour across it.
struct Edge {
  cpShape** walls;
  float* cost;
  float* backcost;
  uint8_t open;
  uint8_t backopen;
  int dx, dy;
  const char* duplicate;
};

static const Edge EAST = {
    wld_eastwalls, basecoste, basecostw, OPEN_E,
    OPEN_W,        1,         0,         "ERR There's already an east wall at %d,%d"};
static const Edge SOUTH = {
    wld_southwalls, basecosts, basecostn, OPEN_S,
    OPEN_N,         0,         1,         "ERR There's already a south wall at %d,%d"};

static bool on_grid(const Edge& e, int x, int y) {
  return x >= 0 && y >= 0 && x + e.dx < GRIDSZ && y + e.dy < GRIDSZ;
}

static int add_wall(const Edge& e, int x, int y) {
  if (!on_grid(e, x, y)) {
    LOG("ERR No wall fits at %d,%d: its edge leaves the grid", x, y);
    return 0;
  }
  if (!wld_space) {
    LOG("ERR No physics space for a wall at %d,%d", x, y);
    return 0;
  }
  int c = y * GRIDSZ + x;
  if (e.walls[c]) {
    LOG(e.duplicate, x, y);
    return 0;
  }
  // The segment runs along the edge's far side, ending at the cell's south-east corner.
  cpVect from = cpv(x + e.dx, y + e.dy);
  cpVect to = cpv(x + 1, y + 1);
  cpShape* seg = cpSegmentShapeNew(cpSpaceGetStaticBody(wld_space), from, to, 0.0);
  cpShapeSetFriction(seg, 0.2);
  cpSpaceAddShape(wld_space, seg);
  e.walls[c] = seg;
  int n = c + e.dy * GRIDSZ + e.dx;
  e.cost[c] = e.backcost[n] = FLT_UNDF;
  wld_cellflags[c] &= ~e.open;
  wld_cellflags[n] &= ~e.backopen;
  return 1;
}

static bool remove_wall(const Edge& e, int x, int y) {
  if (!on_grid(e, x, y)) return false;
  int c = y * GRIDSZ + x;
  cpShape* seg = e.walls[c];
  if (!seg) return false;
  cpSpaceRemoveShape(wld_space, seg);
  cpShapeFree(seg);
  e.walls[c] = nullptr;
  int n = c + e.dy * GRIDSZ + e.dx;
  e.cost[c] = e.backcost[n] = wld_step_cost(c, n);
  // Set even on a cliff: callers close such an edge again before the next update.
  wld_cellflags[c] |= e.open;
  wld_cellflags[n] |= e.backopen;
  return true;
}

int wld_add_east_wall(int x, int y) { return add_wall(EAST, x, y); }
int wld_add_south_wall(int x, int y) { return add_wall(SOUTH, x, y); }
bool wld_remove_east_wall(int x, int y) { return remove_wall(EAST, x, y); }
bool wld_remove_south_wall(int x, int y) { return remove_wall(SOUTH, x, y); }

int wld_create_walls() {
  if (!wld_space) {
    LOG("ERR No physics space to create walls in");
    return 0;
  }
  int added = 0;
  // Column and row 127 have no neighbour east or south: no walls there.
  for (int y = 0; y < GRIDSZ - 1; y++) {
    for (int x = 0; x < GRIDSZ - 1; x++) {
      int i = y * GRIDSZ + x;
      if (basecoste[i] == FLT_UNDF) {
        // The assertion's text is logged as written.
        // clang-format off
        ASSERT(basecostw[ i+1 ] == FLT_UNDF);
        // clang-format on
        added += wld_add_east_wall(x, y);
      }
      if (basecosts[i] == FLT_UNDF) {
        // clang-format off
        ASSERT(basecostn[ i+GRIDSZ ] == FLT_UNDF);
        // clang-format on
        added += wld_add_south_wall(x, y);
      }
    }
  }
  return added;
}

int wld_clear_walls() {
  int removed = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    int x = c % GRIDSZ, y = c / GRIDSZ;
    removed += wld_remove_east_wall(x, y);
    removed += wld_remove_south_wall(x, y);
  }
  return removed;
}

// Masks of open-side bits over the 5 by 5 cells around a building's centre,
// rows north to south: a clear east bit walls the cell's east edge, a clear
// south bit its south edge.
enum { MASK_BAKERY, MASK_TAXC, MASK_HUT };
static const uint8_t MASKS[3][25] = {
    {15, 7, 7, 7, 15,  // bakery
     13, 0, 0, 0, 14, 15, 9, 0, 0, 14, 15, 5, 10, 11, 15, 15, 11, 15, 15, 15},
    {15, 15, 15, 7, 15,  // tax office
     15, 7,  13, 0, 14, 13, 0, 4, 0, 14, 13, 0, 0, 0, 14, 15, 11, 11, 11, 15},
    {15, 15, 15, 15, 15,  // hut
     15, 7,  15, 7,  15, 13, 10, 15, 9, 14, 13, 6, 7, 5, 14, 15, 11, 11, 11, 15},
};
#define MASK_REACH 3  // a mask's walls lie on edges of cells up to this far from its centre

// Whether the wall from a to its east or south neighbour b goes up: one of
// the mask's walls that stands no wall yet (a cliff beside a building walls
// some of its edges already), with `cell` on the grid only on that cell's
// edges.
static bool wanted(int cell, int a, int b, cpShape* const* walls) {
  return !walls[a] && (cell < 0 || cell == a || cell == b);
}

static int building_walls(int kind, int x, int y, int cell) {
  if (x < 2 || y < 2 || x > GRIDSZ - 3 || y > GRIDSZ - 3) {
    LOG("ERR A building at %d,%d would have walls off the grid", x, y);
    return 0;
  }
  int added = 0;
  for (int row = 0; row < 5; row++) {
    for (int col = 0; col < 5; col++) {
      uint8_t open = MASKS[kind][row * 5 + col];
      int cx = x - 2 + col, cy = y - 2 + row, c = cy * GRIDSZ + cx;
      if (!(open & OPEN_E) && wanted(cell, c, c + 1, wld_eastwalls))
        added += wld_add_east_wall(cx, cy);
      if (!(open & OPEN_S) && wanted(cell, c, c + GRIDSZ, wld_southwalls))
        added += wld_add_south_wall(cx, cy);
    }
  }
  return added;
}

int wld_walls_bakery(int x, int y) { return building_walls(MASK_BAKERY, x, y, -1); }
int wld_walls_taxc(int x, int y) { return building_walls(MASK_TAXC, x, y, -1); }
int wld_walls_hut(int x, int y) { return building_walls(MASK_HUT, x, y, -1); }

// Every bakery's, hut's and tax office's walls, in that order; with `cell` on
// the grid only the missing ones on its edges, of the buildings that reach it.
static int buildings_walls(int cell) {
  const struct {
    int kind;
    const int32_t* centres;
    int count;
  } kinds[] = {{MASK_BAKERY, bakeries_cidx, bakeries_count},
               {MASK_HUT, huts_cidx, huts_count},
               {MASK_TAXC, taxc_cidx, taxc_count}};
  int added = 0;
  for (const auto& k : kinds)
    for (int i = 0; i < k.count; i++) {
      int x = k.centres[i] % GRIDSZ, y = k.centres[i] / GRIDSZ;
      if (cell < 0 ||
          (abs(x - cell % GRIDSZ) <= MASK_REACH && abs(y - cell / GRIDSZ) <= MASK_REACH))
        added += building_walls(k.kind, x, y, cell);
    }
  return added;
}

int wld_walls_buildings() { return buildings_walls(-1); }

int wld_walls_buildings_at(int cidx) {
  return cidx >= 0 && cidx < GRIDCELLS ? buildings_walls(cidx) : 0;
}
