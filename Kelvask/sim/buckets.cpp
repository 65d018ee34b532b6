#include "buckets.h"

#include <cstring>

#include "items.h"
#include "log.h"
#include "worktools.h"

WORKTOOLS_DEFINE_WITH_STATE(buckets, MAXBUCKETS);
float buckets_inst[2][MAXBUCKETS][16];

void buckets_reset() {
  worktools_clear(&table);
  memset(buckets_inst, 0, sizeof buckets_inst);
}
int buckets_give(int member) { return worktools_give(&table, member); }

// A bucket already in that state is no fault: the worker simply goes on.
int buckets_set_full(int c, int v) {
  int slot;
  return worktools_set_full(&table, c, v, &slot);
}

bool buckets_serialize(int out, FILE* f) { return worktools_serialize(&table, out, f); }

void buckets_update_instances(const float (*trfs)[16]) {
  int nume = worktools_place(&table, 0, trfs, ITEMS_LIFT, buckets_inst[0]);
  int numf = worktools_place(&table, 1, trfs, ITEMS_LIFT, buckets_inst[1]);
  ASSERT(nume == buckets_nume);
  ASSERT(numf == buckets_numf);
}
