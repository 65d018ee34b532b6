#include "building.h"

#include <cstring>

#include "log.h"
#include "mtbe.h"
#include "savefile.h"
#include "wld.h"

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
      if (in_grid(cx, cy) && (wld_cellflags[cy * GRIDSZ + cx] >> 4) != 0) return false;
  return true;
}

void building_set_group(int centre, const uint8_t tmpl[FOOTPRINT], int entry, int type) {
  for (int k = 0; k < FOOTPRINT; k++) {
    int c = building_cell(centre, k);
    if (tmpl[k] != entry || c < 0) continue;
    wld_cellflags[c] = (uint8_t)((wld_cellflags[c] & 0x0f) | (type << 4));
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
  m[14] = wld_height[cidx] * 0.15f;
}

bool building_io_ints(int out, FILE* f, const char* name, int32_t* v, int n) {
  if (out) {
    save_write_header(f, name);
    save_write_ints(f, v, n);
    return true;
  }
  return save_skip_header(f, name) && save_read_ints(f, name, v, n);
}

bool building_io_floats(int out, FILE* f, const char* name, float* v, int n) {
  if (out) {
    save_write_header(f, name);
    save_write_floats(f, v, n);
    return true;
  }
  return save_skip_header(f, name) && save_read_floats(f, name, v, n);
}

bool building_io_int_rows(int out, FILE* f, const char* name, int32_t* v, int per, int n) {
  if (out) {
    save_write_header(f, name);
    for (int i = 0; i < n; i++) save_write_int_row(f, v + i * per, per);
    return true;
  }
  if (!save_skip_header(f, name)) return false;
  for (int i = 0; i < n; i++)
    if (!save_read_int_row(f, name, v + i * per, per)) return false;
  return true;
}

bool building_io_float_rows(int out, FILE* f, const char* name, float* v, int per, int n) {
  if (out) {
    save_write_header(f, name);
    for (int i = 0; i < n; i++) save_write_float_row(f, v + i * per, per);
    return true;
  }
  if (!save_skip_header(f, name)) return false;
  for (int i = 0; i < n; i++)
    if (!save_read_float_row(f, name, v + i * per, per)) return false;
  return true;
}

bool building_serialize(int out, FILE* f, const char* count_name, int capacity, int32_t* count,
                        building_fields_fn fields, building_valid_fn valid) {
  if (!f) {
    LOG("ERR No text save stream for %s.", count_name);
    return false;
  }
  if (out) {
    save_write_int(f, count_name, *count);
    return fields(1, f, *count);
  }
  int n;
  *count = 0;
  if (!save_read_count(f, count_name, 0, capacity, &n) || !fields(0, f, n) || !valid(n)) return false;
  *count = n;
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
