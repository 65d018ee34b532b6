// Plates: one per household servant, given at spawning and kept for good;
// full while the servant carries food from a bakery to a hut or tax office.
#pragma once
#include "worktools.h"

#define MAXPLATES 1024

WORKTOOLS_DECLARE_WITH_STATE(plates, MAXPLATES);
extern float plates_inst[2][MAXPLATES]
                        [16];  // per frame: empty ones, then full ones, at their carriers

// Start values: no plates, every carrier -1, every flag 0, every instance
// matrix zero.
void plates_reset();
// Appends an empty plate for the member; -1 when all are given out.
int plates_give(int member);
// The member's plate, or -1.
int plates_find(int member);
// v 0 empties, nonzero fills with v: 1 done, 0 already so, -1 no plate
// (both logged).
int plates_set_full(int c, int v);
// Once per frame: the instance matrices from the carriers' transforms.
void plates_update_instances(const float (*trfs)[16]);
// out != 0 writes the table; else reads it and returns false (logged) when
// anything is damaged or out of range.
bool plates_serialize(int out, FILE* f);
