#include "worktools.h"

#include <cstring>

#include "building.h"
#include "crowd.h"
#include "log.h"
#include "savefile.h"

static bool seen[CROWDSZ];  // carriers met while checking a loaded table

static void clear_from(const ToolTable* t, int first) {
  for (int i = first; i < WORKTOOLS_MAX; i++) {
    t->carr[i] = -1;
    if (t->full) t->full[i] = 0;
  }
}

void worktools_clear(const ToolTable* t) {
  clear_from(t, 0);
  *t->count = 0;
  if (t->full) *t->nume = *t->numf = 0;
}

int worktools_give(const ToolTable* t, int member) {
  int i = *t->count;
  if (i >= WORKTOOLS_MAX) return -1;
  t->carr[i] = member;
  if (t->full) {
    t->full[i] = 0;
    *t->nume += 1;
  }
  *t->count = i + 1;
  return i;
}

int worktools_find(const ToolTable* t, int member) {
  for (int i = 0; i < *t->count; i++)
    if (t->carr[i] == member) return i;
  return -1;
}

int worktools_set_full(const ToolTable* t, int c, int v, int* slot) {
  int i = worktools_find(t, c);
  *slot = i;
  if (i < 0) return -1;
  if ((t->full[i] != 0) == (v != 0)) return 0;
  *t->numf += v ? 1 : -1;
  *t->nume += v ? -1 : 1;
  t->full[i] = v;
  return 1;
}

int worktools_place(const ToolTable* t, int full, const float (*trfs)[16], float lift,
                    float (*out)[16]) {
  int j = 0;
  for (int i = 0; i < *t->count; i++) {
    if (t->full && (t->full[i] != 0) != (full != 0)) continue;
    int carrier = t->carr[i];
    ASSERT(carrier >= 0 && carrier < CROWDSZ);
    float* m = out[j++];
    const float* c = trfs[carrier];
    for (int e = 0; e < 16; e++) m[e] = c[e];
    for (int e = 0; e < 3; e++) m[12 + e] += lift * c[8 + e];
    m[15] = 1.0f;
  }
  return j;
}

// One "<prefix>_<what> %d" line; a read value must lie in 0..hi.
static bool io_count(int out, FILE* f, const char* prefix, const char* what, int32_t* v, int hi) {
  char name[64];
  snprintf(name, sizeof name, "%s_%s", prefix, what);
  if (!out) return save_read_count(f, name, 0, hi, v);
  save_write_int(f, name, *v);
  return true;
}

// The header "<prefix>_<what>" and n values.
static bool io_values(int out, FILE* f, const char* prefix, const char* what, int32_t* v, int n) {
  char name[64];
  snprintf(name, sizeof name, "%s_%s", prefix, what);
  return building_io_ints(out, f, name, v, n);
}

// Every carrier a crowd index holding one tool at most, and the counters
// true to the flags.
static bool table_valid(const ToolTable* t, int n, int nume, int numf) {
  memset(seen, 0, sizeof seen);
  int full = 0;
  for (int i = 0; i < n; i++) {
    int c = t->carr[i];
    if (c < 0 || c >= CROWDSZ || seen[c]) {
      LOG("ERR Saved game: %s entry %d has carrier %d.", t->prefix, i, c);
      return false;
    }
    seen[c] = true;
    if (t->full) full += t->full[i] != 0;
  }
  if (t->full && (nume + numf != n || numf != full)) {
    LOG("ERR Saved game: %s counters %d empty, %d full do not match.", t->prefix, nume, numf);
    return false;
  }
  return true;
}

bool worktools_serialize(const ToolTable* t, int out, FILE* f) {
  if (!f) {
    LOG("ERR No text save stream for the %s.", t->prefix);
    return false;
  }
  int32_t n = *t->count, nume = 0, numf = 0;
  if (t->full) nume = *t->nume, numf = *t->numf;
  bool ok = io_count(out, f, t->prefix, "count", &n, WORKTOOLS_MAX) &&
            (!t->full || (io_count(out, f, t->prefix, "nume", &nume, n) &&
                          io_count(out, f, t->prefix, "numf", &numf, n))) &&
            io_values(out, f, t->prefix, "carr", t->carr, n) &&
            (!t->full || io_values(out, f, t->prefix, "full", t->full, n));
  if (out || !ok) return ok;
  if (!table_valid(t, n, nume, numf)) return false;
  clear_from(t, n);
  *t->count = n;
  if (t->full) *t->nume = nume, *t->numf = numf;
  return true;
}
