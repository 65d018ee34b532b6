#include "wld.h"

#include <cmath>

#include "crowd.h"
#include "log.h"
#include "wld_walls.h"

uint8_t wld_height[GRIDCELLS];
uint8_t wld_cellflags[GRIDCELLS];
float basecostw[GRIDCELLS];
float basecoste[GRIDCELLS];
float basecostn[GRIDCELLS];
float basecosts[GRIDCELLS];
// The crowd walks on these grids for the life of the process.
[[maybe_unused]] static const bool wld_terrain_bound =
    (crowd_bind_terrain(wld_height, basecostw, basecoste, basecostn, basecosts), true);
float wld_goalweight[GRIDCELLS];
uint8_t wld_catflags[GRIDCELLS];
float wld_catweight[GRIDCELLS];
float wld_potential[GROUPCNT][POTENTIALSZ];
float wld_flow[GROUPCNT][3][GRIDCELLS];

int wld_selected = -1;
int wld_selectedcat = -1;

int wld_grid_coord(float v) {
  if (!(v >= 0.0f)) return 0;
  return v < (float)GRIDSZ ? (int)v : GRIDSZ - 1;
}

// Where v lies across row or column c, held to 0..1.
static float offset_in(float v, int c) {
  const float f = v - (float)c;
  return f >= 0.0f ? std::fmin(f, 1.0f) : 0.0f;
}

int wld_nearest_cell(const uint8_t* cells, uint8_t mask, float x, float y) {
  const int cx = wld_grid_coord(x), cy = wld_grid_coord(y);
  const float fx = offset_in(x, cx), fy = offset_in(y, cy);
  for (int r = 0; r < GRIDSZ; r++) {
    int best = -1;
    float bestd = 1e30f;
    for (int dy = -r; dy <= r; dy++)
      for (int dx = -r; dx <= r; dx++) {
        const int nx = cx + dx, ny = cy + dy;
        const bool ring = dx == -r || dx == r || dy == -r || dy == r;
        if (!ring || nx < 0 || nx >= GRIDSZ || ny < 0 || ny >= GRIDSZ ||
            !(cells[grid_cidx(nx, ny)] & mask))
          continue;
        const float ex = dx + 0.5f - fx, ey = dy + 0.5f - fy, d = ex * ex + ey * ey;
        if (d < bestd) best = grid_cidx(nx, ny), bestd = d;
      }
    if (best >= 0) return best;
  }
  return -1;
}

bool wld_is_border(int cidx) {
  if (cidx < 0 || cidx >= GRIDCELLS) return true;
  int x = cidx % GRIDSZ, y = cidx / GRIDSZ;
  return x == 0 || y == 0 || x == GRIDSZ - 1 || y == GRIDSZ - 1;
}

// Border cells count as closed whatever height they hold, so both sides of
// an edge always agree on its cost.
static float step_cost(const uint8_t* heights, int a, int b) {
  if (wld_is_border(a) || wld_is_border(b)) return FLT_UNDF;
  int h = heights[a], n = heights[b];
  int diff = h > n ? h - n : n - h;
  if (h == 0 || n == 0 || diff >= 4) return FLT_UNDF;
  return (float)(diff + 1);
}

float wld_step_cost(int a, int b) { return step_cost(wld_height, a, b); }

void wld_compute_basecosts(const uint8_t* heights) {
  for (int c = 0; c < GRIDCELLS; c++) {
    if (wld_is_border(c)) {
      basecostw[c] = basecoste[c] = basecostn[c] = basecosts[c] = FLT_UNDF;
      continue;
    }
    basecostw[c] = step_cost(heights, c, c - 1);
    basecoste[c] = step_cost(heights, c, c + 1);
    basecostn[c] = step_cost(heights, c, c - GRIDSZ);
    basecosts[c] = step_cost(heights, c, c + GRIDSZ);
  }
}

static bool next_to_water(int c) {
  return wld_height[c - 1] == 0 || wld_height[c + 1] == 0 || wld_height[c - GRIDSZ] == 0 ||
         wld_height[c + GRIDSZ] == 0;
}

uint8_t wld_open_sides(int c) {
  uint8_t f = 0;
  if (basecostw[c] < FLT_UNDF) f |= OPEN_W;
  if (basecoste[c] < FLT_UNDF) f |= OPEN_E;
  if (basecostn[c] < FLT_UNDF) f |= OPEN_N;
  if (basecosts[c] < FLT_UNDF) f |= OPEN_S;
  return f;
}

void wld_compute_cellflags() {
  for (int c = 0; c < GRIDCELLS; c++) {
    int h = wld_height[c];
    if (wld_is_border(c) || h == 0) {
      wld_cellflags[c] = 0;
      continue;
    }
    uint8_t f = wld_open_sides(c);
    int x = c % GRIDSZ, y = c / GRIDSZ;
    bool inner = x >= 2 && x <= GRIDSZ - 3 && y >= 2 && y <= GRIDSZ - 3;
    if (h < 3 && inner && next_to_water(c)) f |= WATR << 4;
    wld_cellflags[c] = f;
  }
}

enum { SIDE_W, SIDE_E, SIDE_N, SIDE_S };

// The wall of one side of cell (x, y): west and north sides are the
// neighbours' east and south edges.
static void side_wall(int side, int x, int y, bool add) {
  bool east = side == SIDE_W || side == SIDE_E;
  int wx = side == SIDE_W ? x - 1 : x;
  int wy = side == SIDE_N ? y - 1 : y;
  if (add)
    east ? wld_add_east_wall(wx, wy) : wld_add_south_wall(wx, wy);
  else
    east ? wld_remove_east_wall(wx, wy) : wld_remove_south_wall(wx, wy);
}

void wld_update_cell_costs(int c) {
  if (c < 0 || c >= GRIDCELLS) {
    LOG("ERR No cell %d to update costs for", c);
    return;
  }
  int x = c % GRIDSZ, y = c / GRIDSZ;
  float* here[4] = {basecostw, basecoste, basecostn, basecosts};
  float* there[4] = {basecoste, basecostw, basecosts, basecostn};
  const uint8_t openhere[4] = {OPEN_W, OPEN_E, OPEN_N, OPEN_S};
  const uint8_t openthere[4] = {OPEN_E, OPEN_W, OPEN_S, OPEN_N};
  const int offset[4] = {-1, 1, -GRIDSZ, GRIDSZ};
  const bool inside[4] = {x > 0, x<GRIDSZ - 1, y> 0, y < GRIDSZ - 1};
  bool wasopen[4];
  float cost[4];
  for (int s = 0; s < 4; s++) {
    wasopen[s] = here[s][c] < FLT_UNDF;
    cost[s] = inside[s] ? wld_step_cost(c, c + offset[s]) : FLT_UNDF;
    here[s][c] = cost[s];
    // Open bits follow the costs even on edges that carry no wall.
    bool open = cost[s] < FLT_UNDF;
    wld_cellflags[c] = open ? (wld_cellflags[c] | openhere[s]) : (wld_cellflags[c] & ~openhere[s]);
    if (!inside[s]) continue;
    int n = c + offset[s];
    there[s][n] = cost[s];
    wld_cellflags[n] =
        open ? (wld_cellflags[n] | openthere[s]) : (wld_cellflags[n] & ~openthere[s]);
  }
  for (int s = 0; s < 4; s++)
    if (cost[s] == FLT_UNDF && wasopen[s]) side_wall(s, x, y, true);
  for (int s = 0; s < 4; s++)
    if (cost[s] != FLT_UNDF && !wasopen[s]) side_wall(s, x, y, false);
  // A building's wall on a passable edge came down with the terrain's.
  wld_walls_buildings_at(c);
}

// The angle is folded to base - atan(r) with r in -1..1.
float wld_fast_atan2(float y, float x) {
  float a = fabsf(y) + 1e-10f;
  float r, base;
  if (x < 0) {
    r = (x + a) / (a - x);
    base = 2.3561945f;
  } else {
    r = (x - a) / (x + a);
    base = 0.7853982f;
  }
  // A cubic for atan(r) on [-1, 1]; good to about 0.01 radians, which the
  // steering's heading error easily tolerates.
  float angle = base + (0.1963f * r * r - 0.9817f) * r;
  return y < 0 ? -angle : angle;
}
