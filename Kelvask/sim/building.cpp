#include "building.h"

#include <cstring>

#include "log.h"
#include "mtbe.h"
#include "savefile.h"
#include "wld.h"
#include "wld_state.h"

static bool in_grid(int x, int y) { return x >= 0 && x < GRIDSZ && y >= 0 && y < GRIDSZ; }

int building_cell(int centre, int k) {
  if (centre < 0 || centre >= GRIDCELLS || k < 0 || k >= FOOTPRINT) return -1;
  int x = centre % GRIDSZ + k % 3 - 1;
  int y = centre / GRIDSZ + k / 3 - 1;
  return in_grid(x, y) ? y * GRIDSZ + x : -1;
}

bool building_fits(int x, int y) { return in_grid(x - 1, y - 1) && in_grid(x + 1, y + 1); }

bool building_site_free(int x, int y) {
  if (!building_fits(x, y)) return false;
  for (int cy = y - 2; cy <= y + 2; cy++)
    for (int cx = x - 2; cx <= x + 2; cx++)
      if (in_grid(cx, cy) && grid_celltype(wld_cellflags[cy * GRIDSZ + cx]) != 0) return false;
  return true;
}

void building_set_group(int centre, const uint8_t tmpl[FOOTPRINT], int entry, int type) {
  for (int k = 0; k < FOOTPRINT; k++) {
    int c = building_cell(centre, k);
    if (tmpl[k] != entry || c < 0) continue;
    wld_cellflags[c] = grid_with_celltype(wld_cellflags[c], type);
  }
}

void building_set_weight(int centre, const uint8_t tmpl[FOOTPRINT], int entry, float w) {
  for (int k = 0; k < FOOTPRINT; k++) {
    int c = building_cell(centre, k);
    if (tmpl[k] == entry && c >= 0) wld_goalweight[c] = w;
  }
}

int building_find_at(const int32_t* centres, int count, int cidx) {
  if (cidx < 0 || cidx >= GRIDCELLS) return -1;
  int x = cidx % GRIDSZ, y = cidx / GRIDSZ;
  for (int i = 0; i < count; i++) {
    int dx = centres[i] % GRIDSZ - x, dy = centres[i] / GRIDSZ - y;
    if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) return i;
  }
  return -1;
}

void building_matrix(float m[16], int cidx) {
  memset(m, 0, 16 * sizeof(float));
  m[0] = m[5] = m[10] = m[15] = 1.0f;
  m[12] = cidx % GRIDSZ + 0.5f;
  m[13] = cidx / GRIDSZ + 0.5f;
  m[14] = grid_z(wld_height[cidx]);
}

// The header `name`, then n plain values (per 0, all at once) or n rows of
// `per` values.
template <typename T>
static bool io_field(int out, FILE* f, const char* name, T* v, int per, int n,
                     void (*write)(FILE*, const T*, int),
                     bool (*read)(FILE*, const char*, T*, int)) {
  int rows = per ? n : 1, len = per ? per : n;
  if (out) {
    save_write_header(f, name);
    for (int i = 0; i < rows; i++) write(f, v + i * len, len);
    return true;
  }
  if (!save_skip_header(f, name)) return false;
  for (int i = 0; i < rows; i++)
    if (!read(f, name, v + i * len, len)) return false;
  return true;
}

bool building_io_ints(int out, FILE* f, const char* name, int32_t* v, int n) {
  return io_field(out, f, name, v, 0, n, save_write_ints, save_read_ints);
}

bool building_io_floats(int out, FILE* f, const char* name, float* v, int n) {
  return io_field(out, f, name, v, 0, n, save_write_floats, save_read_floats);
}

bool building_io_int_rows(int out, FILE* f, const char* name, int32_t* v, int per, int n) {
  return io_field(out, f, name, v, per, n, save_write_int_row, save_read_int_row);
}

bool building_io_float_rows(int out, FILE* f, const char* name, float* v, int per, int n) {
  return io_field(out, f, name, v, per, n, save_write_float_row, save_read_float_row);
}

float building_now() { return (float)wld_age; }

bool building_can_add(const BuildingTable* t, int x, int y) {
  if (*t->count >= t->capacity) {
    LOG("ERR All %d %s are built.", t->capacity, t->whats);
    return false;
  }
  if (!building_site_free(x, y)) {
    LOG("Too close to a goal cell.");
    return false;
  }
  return true;
}

void building_reset(const BuildingTable* t) {
  *t->count = 0;
  for (const BuildingField& f : t->fields) {
    const size_t n = (size_t)t->capacity * (f.per > 0 ? f.per : 1);
    if (f.ints) memset(f.ints, 0, n * sizeof(int32_t));
    if (f.floats) memset(f.floats, 0, n * sizeof(float));
  }
  for (int i = 0; i < t->capacity; i++) {
    t->empty(i);
    for (int32_t* ids : t->tracks)
      if (ids) ids[i] = -1;
  }
}

int building_append(const BuildingTable* t, int x, int y) {
  ASSERT(*t->count < t->capacity);
  int i = (*t->count)++;
  t->centres[i] = y * GRIDSZ + x;
  t->empty(i);
  for (int32_t* ids : t->tracks)
    if (ids) ids[i] = mtbe_create(64, building_now());
  return i;
}

static bool io_one(int out, FILE* f, const char* name, const BuildingField& v, int n) {
  if (v.ints)
    return v.per ? building_io_int_rows(out, f, name, v.ints, v.per, n)
                 : building_io_ints(out, f, name, v.ints, n);
  return v.per ? building_io_float_rows(out, f, name, v.floats, v.per, n)
               : building_io_floats(out, f, name, v.floats, n);
}

static bool io_fields(const BuildingTable* t, int out, FILE* f, int n) {
  for (const BuildingField& v : t->fields) {
    if (!v.name) break;
    char name[64];
    snprintf(name, sizeof name, "%s_%s", t->prefix, v.name);
    if (!io_one(out, f, name, v, n)) return false;
  }
  return true;
}

static bool records_valid(const BuildingTable* t, int n) {
  if (!building_centres_valid(t->what, t->centres, n)) return false;
  for (int32_t* ids : t->tracks)
    if (ids && !building_tracks_valid(t->what, ids, n)) return false;
  return building_cells_valid(t, n) && (!t->valid || t->valid(n));
}

bool building_serialize(const BuildingTable* t, int out, FILE* f) {
  if (!f) {
    LOG("ERR No text save stream for the %s.", t->whats);
    return false;
  }
  char count_name[64];
  snprintf(count_name, sizeof count_name, "%s_count", t->prefix);
  if (out) {
    save_write_int(f, count_name, *t->count);
    if (t->extra) save_write_int(f, t->extra_name, *t->extra);
    return io_fields(t, 1, f, *t->count);
  }
  int n, extra = 0;
  *t->count = 0;
  if (!save_read_count(f, count_name, 0, t->capacity, &n)) return false;
  if (t->extra && !save_read_count(f, t->extra_name, INT32_MIN, t->extra_max, &extra)) return false;
  extra = extra < 0 ? 0 : extra;  // build mode outlives the hire panel: a game could save a debt
  if (!io_fields(t, 0, f, n) || !records_valid(t, n)) return false;
  *t->count = n;
  if (t->extra) *t->extra = extra;
  return true;
}

bool building_centres_valid(const char* what, const int32_t* centres, int n) {
  for (int i = 0; i < n; i++) {
    int c = centres[i];
    if (c < 0 || c >= GRIDCELLS || !building_fits(c % GRIDSZ, c / GRIDSZ)) {
      LOG("ERR Saved game: %s %d has its centre off the grid (%d)", what, i, c);
      return false;
    }
  }
  return true;
}

bool building_tracks_valid(const char* what, const int32_t* ids, int n) {
  for (int i = 0; i < n; i++) {
    if (ids[i] < -1 || ids[i] >= mtbe_numtracks) {
      LOG("ERR Saved game: %s %d names no event track (%d)", what, i, ids[i]);
      return false;
    }
  }
  return true;
}

bool building_cells_valid(const BuildingTable* t, int n) {
  for (int i = 0; i < n; i++)
    for (int k = 0; k < FOOTPRINT; k++) {
      int type = grid_celltype(wld_cellflags[building_cell(t->centres[i], k)]);
      int own = t->tmpl[k] == BLDG ? 0 : t->tmpl[k];
      // The mark mode takes any cell of no type, such as those the building leaves.
      bool markable = t->tmpl[k] == BLDG && t->bldg_unwritten;
      if (type != own && type != BLDG && !(markable && type == MARK)) {
        LOG("ERR Saved game: %s %d has a cell of type %d where it writes %d.", t->what, i, type,
            t->tmpl[k]);
        return false;
      }
    }
  return true;
}
