#include "buckets.h"

#include "tools.h"

TOOLS_DEFINE_WITH_STATE(buckets, MAXBUCKETS);

void buckets_clear() { tools_clear(&table); }
int buckets_give(int member) { return tools_give(&table, member); }

// A bucket already in that state is no fault: the worker simply goes on.
int buckets_set_full(int c, int v) {
  int slot;
  return tools_set_full(&table, c, v, &slot);
}

bool buckets_serialize(int out, FILE* f) { return tools_serialize(&table, out, f); }
