// What every layer working on the 128 x 128 cell grid shares: sizes, cell
// types and open sides of the cell-flag byte, cell indices, height steps.
#pragma once
#include <cstdint>

#define GRIDSZ 128
#define GRIDCELLS (GRIDSZ * GRIDSZ)
#define GROUPCNT 10                       // potential fields
#define POTENTIALSZ (GRIDCELLS + GRIDSZ)  // a field's grid with its spare row
#define FLT_UNDF 9999.0f                  // no passage, unreached
#define GRID_STEPZ 0.15f                  // world units per height byte

// Cell types, the high nibble of a cell-flag byte.
enum {
  STCK = 1,
  MARK = 2,
  WATR = 3,
  FARM = 4,
  GRAI = 5,
  BAKG = 6,
  BAKF = 7,
  FOOD = 8,
  REST = 9,
  CATT = 10,
  BLDG = 13,
};

// Open-side bits, the low nibble of a cell-flag byte.
enum { OPEN_W = 1, OPEN_E = 2, OPEN_N = 4, OPEN_S = 8 };

inline int grid_cidx(int x, int y) { return y * GRIDSZ + x; }
inline int grid_celltype(uint8_t flags) { return flags >> 4; }
// The flag byte with its cell type replaced and its open sides kept.
inline uint8_t grid_with_celltype(uint8_t flags, int type) {
  return (uint8_t)((flags & 0x0f) | (type << 4));
}
// Height in world units of a height byte.
inline float grid_z(int height) { return height * GRID_STEPZ; }
