#include "stones.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "crowd.h"
#include "items.h"
#include "log.h"
#include "savefile.h"
#include "wld.h"
#include "wld_state.h"

float stones_x[STONECNT];
float stones_y[STONECNT];
float stones_z[STONECNT];
int32_t stones_cidx[STONECNT];
uint32_t stones_stat[STONECNT];

int32_t stones_numstocked;
int32_t stones_numdeposited;
int32_t stones_pyramid_level;

int32_t nummarks;
int32_t stones_markcidx[MAXMARKS];
int32_t stones_markcnt[MAXMARKS];
float stones_markmat[MAXMARKS][16];
float stones_inst[STONECNT][16];

#define STONE_STOCKED STONE_CARRMSK
#define STONE_FROZEN (STONE_PERMPOS | STONE_DEPOSIT | STONE_CARRMSK)
#define LAYERS 13
#define STOCK_FIRST 119  // the stock's rows and columns are 119..124
#define STOCK_SIDE 6
#define BASE_ROW 62  // the base marks cover rows 62..74, columns 36..48
#define BASE_COL 36
#define BASE_SIDE 13
#define PYRAMID_LEVELS 7
#define BASE_HEIGHT 41  // a complete base layer stands at least this high

static int cell_type(int cidx) { return grid_celltype(wld_cellflags[cidx]); }
static void set_cell_type(int cidx, int type) {
  wld_cellflags[cidx] = grid_with_celltype(wld_cellflags[cidx], type);
}
static bool in_grid(int cidx) { return cidx >= 0 && cidx < GRIDCELLS; }
static int cell_at(float x, float y) { return (int)y * GRIDSZ + (int)x; }

// Blocks jitter a little in x and y so stacks do not look machined.
static float jitter() { return (rand() & 127) / 2540.0f; }

static bool lies_on_mark(int k) {
  return (stones_stat[k] & STONE_DEPOSIT) && !(stones_stat[k] & STONE_PERMPOS);
}

static int find_mark(int cidx) {
  for (int m = 0; m < nummarks; m++)
    if (stones_markcidx[m] == cidx) return m;
  return -1;
}

void stones_reset() {
  memset(stones_x, 0, sizeof stones_x);
  memset(stones_y, 0, sizeof stones_y);
  memset(stones_z, 0, sizeof stones_z);
  memset(stones_cidx, 0, sizeof stones_cidx);
  memset(stones_stat, 0, sizeof stones_stat);
  stones_numstocked = stones_numdeposited = stones_pyramid_level = 0;
  nummarks = 0;
  memset(stones_markcidx, 0, sizeof stones_markcidx);
  memset(stones_markcnt, 0, sizeof stones_markcnt);
  memset(stones_markmat, 0, sizeof stones_markmat);
  memset(stones_inst, 0, sizeof stones_inst);
}

void stones_init() {
  int k = 0;
  for (int L = 0; L < LAYERS; L++)
    for (int r = STOCK_FIRST; r < STOCK_FIRST + STOCK_SIDE; r++)
      for (int c = STOCK_FIRST; c < STOCK_FIRST + STOCK_SIDE; c++)
        for (int i = 0; i < 3; i++)
          for (int j = 0; j < 3; j++, k++) {
            int cidx = r * GRIDSZ + c;
            stones_cidx[k] = cidx;
            stones_y[k] = r + 0.175f + 0.3f * i;
            stones_z[k] = 0.3f * L + wld_height[cidx] * GRID_STEPZ;
            stones_x[k] = c + 0.175f + 0.3f * j;
            stones_x[k] += jitter();
            stones_stat[k] = STONE_STOCKED;
            stones_y[k] += jitter();
          }
  for (int r = STOCK_FIRST; r < STOCK_FIRST + STOCK_SIDE; r++)
    for (int c = STOCK_FIRST; c < STOCK_FIRST + STOCK_SIDE; c++)
      set_cell_type(r * GRIDSZ + c, STCK);
  stones_numstocked = STONECNT;
  nummarks = 0;
  stones_numdeposited = 0;
  stones_pyramid_level = PYRAMID_LEVELS;
  stones_add_base_marks();
  memset(stones_markcnt, 0, sizeof stones_markcnt);
}

void stones_add_base_marks() {
  for (int r = BASE_ROW; r < BASE_ROW + BASE_SIDE; r++)
    for (int c = BASE_COL; c < BASE_COL + BASE_SIDE; c++)
      stones_add_mark(r * GRIDSZ + c, wld_height);
}

bool stones_add_mark(int cidx, const uint8_t* height) {
  if (nummarks >= MAXMARKS) {
    LOG("ERR Too many marks.");
    return false;
  }
  if (!in_grid(cidx)) {
    LOG("ERR Cannot add mark: cell %d is off the grid.", cidx);
    return false;
  }
  if (cell_type(cidx) != 0) {
    LOG("ERR Cannot add mark: Already a goal cell.");
    return false;
  }
  // A completed mark raises the height byte; it must not wrap to water.
  if (height[cidx] > 255 - STONE_STEP) {
    LOG("ERR Cannot add mark: cell %d is as high as it goes.", cidx);
    return false;
  }
  int m = nummarks;
  stones_markcidx[m] = cidx;
  stones_markcnt[m] = 0;
  float* mat = stones_markmat[m];
  memset(mat, 0, sizeof stones_markmat[m]);
  mat[0] = mat[5] = mat[10] = mat[15] = 1.0f;
  mat[12] = cidx % GRIDSZ + 0.5f;
  mat[13] = cidx / GRIDSZ + 0.5f;
  mat[14] = height[cidx] * GRID_STEPZ;
  set_cell_type(cidx, MARK);
  nummarks = m + 1;
  return true;
}

bool stones_remove_mark(int cidx, int restock) {
  int m = find_mark(cidx);
  if (m < 0) return false;
  if (restock) {
    // Restocking moves records, so every find starts the scan again.
    for (int k = 0; k < STONECNT; k++) {
      if (lies_on_mark(k) && cell_at(stones_x[k], stones_y[k]) == cidx) {
        stones_restock(k);
        k = -1;
      }
    }
  }
  int last = nummarks - 1;
  if (m != last) {
    memcpy(stones_markmat[m], stones_markmat[last], sizeof stones_markmat[m]);
    stones_markcidx[m] = stones_markcidx[last];
    stones_markcnt[m] = stones_markcnt[last];
  }
  nummarks = last;
  set_cell_type(cidx, 0);
  return true;
}

void stones_toggle_mark(int cidx) {
  if (!in_grid(cidx)) {
    LOG("ERR Cannot toggle mark: cell %d is off the grid.", cidx);
    return;
  }
  if (cell_type(cidx) == MARK) {
    bool markremoved = stones_remove_mark(cidx, 1);
    ASSERT(markremoved);
  } else {
    stones_add_mark(cidx, wld_height);
  }
}

void stones_halt() {
  while (nummarks > 0) stones_remove_mark(stones_markcidx[nummarks - 1], 1);
  for (int c = 0; c < GRIDCELLS; c++)
    if (cell_type(c) == STCK) set_cell_type(c, 0);
}

int stones_take(int carrier) {
  ASSERT(carrier >= 0 && carrier < CROWDSZ);
  if (stones_numstocked == 0) return -1;
  int i = --stones_numstocked;
  ASSERT(!(stones_stat[i] & STONE_CARRIED));
  ASSERT(!(stones_stat[i] & STONE_DEPOSIT));
  ASSERT(!(stones_stat[i] & STONE_PERMPOS));
  stones_stat[i] = (uint32_t)carrier | STONE_CARRIED;
  return i;
}

template <typename T>
static void swap_values(T* v, int a, int b) {
  T t = v[a];
  v[a] = v[b];
  v[b] = t;
}

int stones_restock(int i) {
  ASSERT(!(stones_stat[i] & STONE_PERMPOS));
  int n = stones_numstocked;
  ASSERT(i >= n && i < STONECNT);
  stones_stat[i] = STONE_STOCKED;
  if (i != n) {
    swap_values(stones_x, i, n);
    swap_values(stones_y, i, n);
    swap_values(stones_z, i, n);
    swap_values(stones_cidx, i, n);
    swap_values(stones_stat, i, n);
  }
  stones_numdeposited -= 1;
  stones_numstocked = n + 1;
  return n;
}

// The ninth block: the cell rises one step and the mark's blocks stay for good.
static void complete_mark(int cidx, uint8_t* height) {
  bool removed = stones_remove_mark(cidx, 0);
  ASSERT(removed);
  height[cidx] += STONE_STEP;
  int numfrozen = 0;
  for (int k = 0; k < STONECNT; k++) {
    if (stones_cidx[k] == cidx && lies_on_mark(k)) {
      stones_stat[k] |= STONE_PERMPOS;
      numfrozen++;
    }
  }
  ASSERT(numfrozen == 9);
}

int stones_deposit(int s, int x, int y, uint8_t* height, bool* changed) {
  ASSERT(s >= 0 && s < STONECNT);
  if (x < 0 || x >= GRIDSZ || y < 0 || y >= GRIDSZ) {
    LOG("ERR Cannot deposit at %d, %d: off the grid.", x, y);
    return 0;
  }
  int cidx = y * GRIDSZ + x;
  int m = find_mark(cidx);
  if (m < 0) {
    LOG("ERR cidx %d not found amoung %d marks.", cidx, nummarks);
    return 0;
  }
  int n = stones_markcnt[m];
  if (n >= STONE_SLOTS) {
    LOG("Building mark is already full.");
    return 0;
  }
  stones_markcnt[m] = n + 1;
  stones_x[s] = x + 0.11111111f + (n % 3) / 3.0f;
  stones_y[s] = y + 0.11111111f + (n / 3) / 3.0f;
  stones_z[s] = height[cidx] * GRID_STEPZ;
  stones_x[s] += jitter();
  stones_y[s] += jitter();
  stones_cidx[s] = cidx;
  ASSERT(!(stones_stat[s] & STONE_DEPOSIT));
  ASSERT(!(stones_stat[s] & STONE_PERMPOS));
  stones_numdeposited += 1;
  stones_stat[s] = STONE_DEPOSIT | STONE_CARRMSK;
  if (n + 1 == STONE_SLOTS) {
    complete_mark(cidx, height);
    *changed = true;
  }
  return 1;
}

static void follow_carrier(int k, const float* carrier) {
  float* m = stones_inst[k];
  items_follow(m, carrier, ITEMS_LIFT);
  // The world decides where the block is laid from this position.
  stones_x[k] = m[12];
  stones_y[k] = m[13];
  stones_z[k] = m[14];
}

void stones_update_instances(const float (*trfs)[16]) {
  for (int k = 0; k < STONECNT; k++) {
    float* m = stones_inst[k];
    uint32_t st = stones_stat[k];
    if (st & STONE_CARRIED) {
      uint32_t c = st & STONE_CARRMSK;
      ASSERT(c != STONE_CARRMSK);
      follow_carrier(k, trfs[c]);
      continue;
    }
    for (int e = 0; e < 16; e++) m[e] = e % 5 == 0 ? 1.0f : 0.0f;
    if (st & STONE_DEPOSIT) m[10] = 1.5f;
    m[12] = stones_x[k], m[13] = stones_y[k], m[14] = stones_z[k];
  }
}

int stones_compute_pyramid_level(const uint8_t* height) {
  for (int L = 0; L < PYRAMID_LEVELS; L++) {
    int lowest = 255;
    for (int r = BASE_ROW + L; r < BASE_ROW + BASE_SIDE - L; r++)
      for (int c = BASE_COL + L; c < BASE_COL + BASE_SIDE - L; c++)
        if (height[r * GRIDSZ + c] < lowest) lowest = height[r * GRIDSZ + c];
    if (lowest < BASE_HEIGHT + STONE_STEP * L) return PYRAMID_LEVELS - L;
  }
  return 0;
}

// ---- saved game ----

static void write_blocks(FILE* bin) {
  fwrite(stones_x, sizeof stones_x, 1, bin);
  fwrite(stones_y, sizeof stones_y, 1, bin);
  fwrite(stones_z, sizeof stones_z, 1, bin);
  fwrite(stones_cidx, sizeof stones_cidx, 1, bin);
  fwrite(stones_stat, sizeof stones_stat, 1, bin);
  fwrite(stones_markmat, sizeof stones_markmat[0], nummarks, bin);
  fwrite(stones_markcidx, sizeof stones_markcidx[0], nummarks, bin);
  fwrite(stones_markcnt, sizeof stones_markcnt[0], nummarks, bin);
}

static bool read_blocks(FILE* bin, int marks) {
  return save_read_block(bin, "stones_x", stones_x, sizeof stones_x) &&
         save_read_block(bin, "stones_y", stones_y, sizeof stones_y) &&
         save_read_block(bin, "stones_z", stones_z, sizeof stones_z) &&
         save_read_block(bin, "stones_cidx", stones_cidx, sizeof stones_cidx) &&
         save_read_block(bin, "stones_stat", stones_stat, sizeof stones_stat) &&
         save_read_block(bin, "stones_markmat", stones_markmat, marks * sizeof stones_markmat[0]) &&
         save_read_block(bin, "stones_markcidx", stones_markcidx,
                         marks * sizeof stones_markcidx[0]) &&
         save_read_block(bin, "stones_markcnt", stones_markcnt, marks * sizeof stones_markcnt[0]);
}

static bool known_state(uint32_t st) {
  if (st & STONE_CARRIED)
    return st == ((st & STONE_CARRMSK) | STONE_CARRIED) && (st & STONE_CARRMSK) < CROWDSZ;
  return st == STONE_STOCKED || st == (STONE_DEPOSIT | STONE_CARRMSK) || st == STONE_FROZEN;
}

// A block rides where its carrier stands: one that the last version's
// steering flung far off the site with its carrier follows the carrier, which
// the load has put back on the grid.
static void follow_put_back_carriers() {
  for (int k = 0; k < STONECNT; k++) {
    const uint32_t st = stones_stat[k], c = st & STONE_CARRMSK;
    if ((st & STONE_CARRIED) && c < (uint32_t)crowd_sz &&
        !(save_near_site(stones_x[k]) && save_near_site(stones_y[k]) && std::isfinite(stones_z[k])))
      follow_carrier(k, wld_trfs[c]);
  }
}

// The stock must be exactly the prefix, the deposit counter true, and every
// block not carried inside the grid; a deposited block lies in its own cell.
static bool blocks_valid(int stocked, int deposited) {
  int ndep = 0;
  for (int k = 0; k < STONECNT; k++) {
    uint32_t st = stones_stat[k];
    // A carried block stands where its carrier does, which may be pushed off the grid.
    bool carried = st & STONE_CARRIED;
    bool inside = carried ? save_near_site(stones_x[k]) && save_near_site(stones_y[k])
                          : stones_x[k] >= 0 && stones_x[k] < GRIDSZ && stones_y[k] >= 0 &&
                                stones_y[k] < GRIDSZ;
    inside = inside && std::isfinite(stones_z[k]) && in_grid(stones_cidx[k]);
    if (!inside || !known_state(st) || (k < stocked) != (st == STONE_STOCKED) ||
        ((st & STONE_DEPOSIT) && cell_at(stones_x[k], stones_y[k]) != stones_cidx[k])) {
      LOG("ERR Saved game: block %d is damaged.", k);
      return false;
    }
    ndep += (st & STONE_DEPOSIT) != 0;
  }
  if (ndep != deposited) {
    LOG("ERR Saved game: %d blocks deposited, counter says %d.", ndep, deposited);
    return false;
  }
  return true;
}

static bool grid_holds(int type) {
  for (int c = 0; c < GRIDCELLS; c++)
    if (cell_type(c) == type) return true;
  return false;
}

bool stones_halted() { return !grid_holds(STCK); }

// A lost game used to clear the mark and stock cell types behind the marks
// table's back, and such a game's save still lists its marks: no mark or
// stock cell is left on the grid, and the listed cells have no type.
static bool marks_left_by_loss(int marks) {
  return marks > 0 && stones_halted() && !grid_holds(MARK);
}

// Each mark sits on a cell of its own of the given type (MARK, or none for
// a lost game's) and holds exactly the unfrozen blocks of that cell, so
// toggling, completing or taking it down later cannot fail.
static bool marks_valid(int marks, int type) {
  int onmarks = 0, markcells = 0;
  for (int m = 0; m < marks; m++) {
    int cidx = stones_markcidx[m];
    bool ok = in_grid(cidx) && cell_type(cidx) == type && stones_markcnt[m] >= 0 &&
              stones_markcnt[m] < STONE_SLOTS;
    for (int e = 0; ok && e < m; e++) ok = stones_markcidx[e] != cidx;
    for (int e = 0; ok && e < 16; e++) ok = std::isfinite(stones_markmat[m][e]);
    int held = 0;
    for (int k = 0; ok && k < STONECNT; k++) held += stones_cidx[k] == cidx && lies_on_mark(k);
    if (!ok || held != stones_markcnt[m]) {
      LOG("ERR Saved game: build mark %d is damaged.", m);
      return false;
    }
    onmarks += held;
  }
  for (int c = 0; c < GRIDCELLS; c++) markcells += cell_type(c) == MARK;
  for (int k = 0; k < STONECNT; k++) onmarks -= lies_on_mark(k);
  if (onmarks != 0 || markcells != (type == MARK ? marks : 0)) {
    LOG("ERR Saved game: build marks do not match their cells and blocks.");
    return false;
  }
  return true;
}

static bool stones_read(FILE* txt, FILE* bin) {
  int stocked, deposited, marks, level;
  if (!save_read_count(txt, "stones_numstocked", 0, STONECNT, &stocked) ||
      !save_read_count(txt, "stones_numdeposited", 0, STONECNT, &deposited) ||
      !save_read_count(txt, "nummarks", 0, MAXMARKS, &marks) ||
      !save_read_count(txt, "stones_pyramid_level", 0, PYRAMID_LEVELS, &level) ||
      !read_blocks(bin, marks))
    return false;
  LOG("serialized %d marks.", marks);
  const bool lost = marks_left_by_loss(marks);
  follow_put_back_carriers();
  if (!blocks_valid(stocked, deposited) || !marks_valid(marks, lost ? 0 : MARK)) return false;
  stones_numstocked = stocked;
  stones_numdeposited = deposited;
  nummarks = marks;
  // Never a level the heights have not reached: the heights are what the
  // world update measures the pyramid by.
  const int built = stones_compute_pyramid_level(wld_height);
  stones_pyramid_level = level > built ? level : built;
  if (lost) {
    stones_halt();
    LOG("Saved game of a lost game: its %d build marks taken down.", marks);
  }
  return true;
}

bool stones_serialize(int out, FILE* txt, FILE* bin) {
  if (!txt || !bin) {
    LOG("ERR No save streams for the stones.");
    return false;
  }
  if (!out) return stones_read(txt, bin);
  save_write_int(txt, "stones_numstocked", stones_numstocked);
  save_write_int(txt, "stones_numdeposited", stones_numdeposited);
  save_write_int(txt, "nummarks", nummarks);
  save_write_int(txt, "stones_pyramid_level", stones_pyramid_level);
  write_blocks(bin);
  LOG("serialized %d marks.", nummarks);
  return true;
}
