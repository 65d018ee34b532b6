// Buckets: one per irrigation worker, given at spawning and kept for good;
// filled at the water's edge, emptied at a farm field.
#pragma once
#include "worktools.h"

#define MAXBUCKETS 1024

WORKTOOLS_DECLARE_WITH_STATE(buckets, MAXBUCKETS);
extern float buckets_inst[2][MAXBUCKETS]
                         [16];  // per frame: empty ones, then full ones, at their carriers

// Start values: no buckets, every carrier -1, every instance matrix zero.
void buckets_reset();
// Appends an empty bucket for the member; -1 when all are given out.
int buckets_give(int member);
// v 0 empties, nonzero fills with v: 1 done, 0 already so, -1 no bucket.
int buckets_set_full(int c, int v);
// Once per frame: the instance matrices from the carriers' transforms.
void buckets_update_instances(const float (*trfs)[16]);
// out != 0 writes the table; else reads it and returns false (logged) when
// anything is damaged or out of range.
bool buckets_serialize(int out, FILE* f);
