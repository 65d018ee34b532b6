#include "plates.h"

#include <cstring>

#include "items.h"
#include "log.h"
#include "worktools.h"

WORKTOOLS_DEFINE_WITH_STATE(plates, MAXPLATES);
float plates_inst[2][MAXPLATES][16];

void plates_reset() {
  worktools_clear(&table);
  memset(plates_inst, 0, sizeof plates_inst);
}
int plates_give(int member) { return worktools_give(&table, member); }
int plates_find(int member) { return worktools_find(&table, member); }

int plates_set_full(int c, int v) {
  int slot;
  int rv = worktools_set_full(&table, c, v, &slot);
  if (rv < 0) LOG("ERR Did not find plate (out of %d) for carrier %d", plates_count, c);
  if (rv == 0)
    LOG("ERR Plate %d (out of %d) of carrier %d is already %d", slot, plates_count, c,
        plates_full[slot]);
  return rv;
}

bool plates_serialize(int out, FILE* f) { return worktools_serialize(&table, out, f); }

void plates_update_instances(const float (*trfs)[16]) {
  int nume = worktools_place(&table, 0, trfs, ITEMS_LIFT, plates_inst[0]);
  int numf = worktools_place(&table, 1, trfs, ITEMS_LIFT, plates_inst[1]);
  ASSERT(nume == plates_nume);
  ASSERT(numf == plates_numf);
}
