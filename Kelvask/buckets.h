// Buckets: one per irrigation worker, given at spawning and kept for good;
// filled at the water's edge, emptied at a farm field.
#pragma once
#include "tools.h"

#define MAXBUCKETS 1024

TOOLS_DECLARE_WITH_STATE(buckets, MAXBUCKETS);

// A new world: no buckets.
void buckets_clear();
// Appends an empty bucket for the member; -1 when all are given out.
int buckets_give(int member);
// v 0 empties, nonzero fills with v: 1 done, 0 already so, -1 no bucket.
int buckets_set_full(int c, int v);
// out != 0 writes the table; else reads it and returns false (logged) when
// anything is damaged or out of range.
bool buckets_serialize(int out, FILE* f);
