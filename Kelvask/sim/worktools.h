// What buckets, plates and sickles share: a table of tools, one per worker of
// a trade, appended at spawning and never shrunk. Buckets and plates are also
// empty or full, with a counter of each.
#pragma once
#include <cstdint>
#include <cstdio>

#define WORKTOOLS_MAX 1024

struct ToolTable {
  const char* prefix;  // "buckets": names the saved lines
  int32_t* carr;
  int32_t* full;  // null for tools without a state
  int32_t* count;
  int32_t* nume;  // null with full
  int32_t* numf;
};

// The public table of a tool with a state: p##_count tools given out,
// p##_nume empty and p##_numf full ones; per tool p##_carr, the carrier's
// crowd index (-1 past the count), and p##_full, 0 empty, nonzero full.
#define WORKTOOLS_DECLARE_WITH_STATE(p, cap)    \
  extern int32_t p##_count, p##_nume, p##_numf; \
  extern int32_t p##_carr[cap], p##_full[cap]

// Defines that table and the ToolTable `table` over it.
#define WORKTOOLS_DEFINE_WITH_STATE(p, cap) \
  int32_t p##_count, p##_nume, p##_numf;    \
  int32_t p##_carr[cap], p##_full[cap];     \
  static const ToolTable table = {#p, p##_carr, p##_full, &p##_count, &p##_nume, &p##_numf}

// No tools; every carrier -1, every flag 0.
void worktools_clear(const ToolTable* t);
// Appends an empty tool for the member; -1 when the table is full.
int worktools_give(const ToolTable* t, int member);
// The member's tool, or -1.
int worktools_find(const ToolTable* t, int member);
// v 0 empties, nonzero fills with v: 1 done, 0 already so, -1 no tool.
// *slot receives the tool's index (-1 none).
int worktools_set_full(const ToolTable* t, int c, int v, int* slot);
// Instance matrices of the tools whose state is `full` (0 or 1; every tool
// when there is no state): the carrier's transform from trfs moved lift along
// its up axis, element 15 at 1. How many were written into out.
int worktools_place(const ToolTable* t, int full, const float (*trfs)[16], float lift,
                    float (*out)[16]);
// out != 0 writes the table; else reads it, checks counters, carriers and
// flags, and clears the entries past the count.
bool worktools_serialize(const ToolTable* t, int out, FILE* f);
