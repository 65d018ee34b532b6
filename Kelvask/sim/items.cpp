#include "items.h"

#include <cmath>
#include <cstring>

#include "building.h"
#include "crowd.h"
#include "log.h"
#include "savefile.h"
#include "wld_state.h"

static int owner_count(const ItemPool* p) {
  int n = 0;
  while (n < ITEMS_MAXOWNERS && p->owners[n].of) n++;
  return n;
}

bool items_in_use(const ItemPool* p, int i) {
  for (int k = 0; k < owner_count(p); k++)
    if (p->owners[k].of[i] != -1) return true;
  return false;
}

int items_lowest_free(const ItemPool* p) {
  for (int i = 0; i < p->cap; i++)
    if (!items_in_use(p, i)) return i;
  return -1;
}

int items_find(const ItemPool* p, const int32_t* owner, int v) {
  for (int i = 0; i < p->cap; i++)
    if (owner[i] == v) return i;
  return -1;
}

void items_release(const ItemPool* p, int i) {
  if (i < 0 || i >= p->cap) return;
  for (int k = 0; k < owner_count(p); k++) p->owners[k].of[i] = -1;
}

void items_clear(const ItemPool* p) {
  for (int i = 0; i < p->cap; i++) items_release(p, i);
}

void items_zero_matrices(const ItemPool* p) {
  memset(p->trfs, 0, (size_t)p->cap * sizeof p->trfs[0]);
}

int items_count_in_use(const ItemPool* p) {
  int n = 0;
  for (int i = 0; i < p->cap; i++) n += items_in_use(p, i);
  return n;
}

void items_place(float m[16], const float pos[3]) {
  for (int e = 0; e < 16; e++) m[e] = 0.0f;
  m[10] = m[15] = 1.0f;
  items_lay_down(m, pos);
}

void items_lay_down(float m[16], const float pos[3]) {
  m[0] = 0.0f, m[1] = -1.0f, m[2] = 0.0f;
  m[4] = 1.0f, m[5] = 0.0f, m[6] = 0.0f;
  m[12] = pos[0], m[13] = pos[1], m[14] = pos[2];
}

void items_follow(float m[16], const float carrier[16], float lift) {
  for (int e = 0; e < 16; e++) m[e] = carrier[e];
  m[14] += lift;
  m[15] = 1.0f;
}

void items_follow_carriers(const ItemPool* p, const int32_t* carrier, const float (*trfs)[16],
                           float back, float lift) {
  for (int i = 0; i < p->cap; i++) {
    int c = carrier[i];
    if (c < 0 || c >= crowd_sz) continue;
    float* m = p->trfs[i];
    items_follow(m, trfs[c], lift);
    m[12] -= back * m[0];
    m[13] -= back * m[1];
  }
}

struct SavedNames {
  char cnt[64];
  char trfs[64];
  char owner[ITEMS_MAXOWNERS][64];
};

static SavedNames names_of(const ItemPool* p) {
  SavedNames n;
  snprintf(n.cnt, sizeof n.cnt, "%s_cnt", p->name);
  snprintf(n.trfs, sizeof n.trfs, "%s_trfs[ idx ]", p->name);
  for (int k = 0; k < owner_count(p); k++)
    snprintf(n.owner[k], sizeof n.owner[k], "%s_%s[ idx ]", p->name, p->owners[k].name);
  return n;
}

static void write_pool(const ItemPool* p, FILE* f) {
  SavedNames names = names_of(p);
  save_write_int(f, names.cnt, items_count_in_use(p));
  for (int i = 0; i < p->cap; i++) {
    if (!items_in_use(p, i)) continue;
    save_write_int(f, "idx", i);
    for (int k = 0; k < owner_count(p); k++) save_write_int(f, names.owner[k], p->owners[k].of[i]);
    building_io_floats(1, f, names.trfs, p->trfs[i], 16);
  }
}

static bool finite_matrix(const float* m) {
  for (int e = 0; e < 16; e++)
    if (!std::isfinite(m[e])) return false;
  return true;
}

// The member that carries slot i: its holder of the kind whose holders are
// members; -1 when none does.
static int carrier_of(const ItemPool* p, int i) {
  for (int k = 0; k < owner_count(p); k++) {
    const int c = p->owners[k].of[i];
    if (p->owners[k].limit == CROWDSZ && c >= 0 && c < crowd_sz) return c;
  }
  return -1;
}

static bool read_item(const ItemPool* p, FILE* f, const SavedNames& names) {
  int i;
  if (!save_read_count(f, "idx", 0, p->cap - 1, &i)) return false;
  if (items_in_use(p, i)) {
    LOG("ERR Saved game: %s slot %d is listed twice.", p->name, i);
    return false;
  }
  int owners[ITEMS_MAXOWNERS], held = 0;
  for (int k = 0; k < owner_count(p); k++) {
    if (!save_read_count(f, names.owner[k], -1, p->owners[k].limit - 1, &owners[k])) return false;
    held += owners[k] != -1;
  }
  if (held != 1) {
    LOG("ERR Saved game: %s slot %d has %d owners.", p->name, i, held);
    return false;
  }
  for (int k = 0; k < owner_count(p); k++) p->owners[k].of[i] = owners[k];
  float* m = p->trfs[i];
  if (!save_skip_header(f, names.trfs) || !save_read_any_floats(f, names.trfs, m, 16)) return false;
  if (finite_matrix(m)) return true;
  // A carried item rides where its carrier stands, which the last version's
  // steering could fling past any number; it follows the carrier, which the
  // load has put back on the grid.
  const int c = carrier_of(p, i);
  if (c < 0) {
    LOG("ERR Saved game: %s %d lies at a place that is not a number.", p->name, i);
    return false;
  }
  items_follow(m, wld_trfs[c], ITEMS_LIFT);
  return true;
}

static bool read_pool(const ItemPool* p, FILE* f) {
  SavedNames names = names_of(p);
  int n;
  if (!save_read_count(f, names.cnt, 0, p->cap, &n)) return false;
  for (int j = 0; j < n; j++)
    if (!read_item(p, f, names)) return false;
  return true;
}

bool items_serialize(const ItemPool* p, int out, FILE* f) {
  if (!f) {
    LOG("ERR No text save stream for the %s items.", p->name);
    return false;
  }
  if (!out) return read_pool(p, f);
  write_pool(p, f);
  return true;
}
