// Sickles: one per field worker, given at spawning and kept for good.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXSICKLES 1024

extern int32_t sickles_count;
extern int32_t sickles_carr[MAXSICKLES];  // carrier's crowd index, -1 past the count

// Start values: no sickles, every carrier -1, every instance matrix zero.
void sickles_reset();
// Appends a sickle for the member; -1 when all are given out.
int sickles_give(int member);
extern float sickles_inst[MAXSICKLES][16];  // per frame: at their carriers
// Once per frame: the instance matrices from the carriers' transforms.
void sickles_update_instances(const float (*trfs)[16]);
// out != 0 writes the table; else reads it and returns false (logged) when
// anything is damaged or out of range.
bool sickles_serialize(int out, FILE* f);
