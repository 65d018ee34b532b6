// Grain items: harvested at a farm field by a field worker, carried to a
// bakery and lying there until baked. A slot is free when both owner fields
// are -1.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXGRAIN 1024

extern int32_t grain_carr[MAXGRAIN];    // carrying crowd member, -1 none
extern int32_t grain_bkry[MAXGRAIN];    // holding bakery, -1 none
extern float grain_trfs[MAXGRAIN][16];  // column-major model matrix

// Every slot free; the matrices are left as they are. A new world and a
// load start from here.
void grain_clear();
// As in a fresh process: every slot free, every matrix zero.
void grain_reset();
// The lowest free slot, now carried by member c; -1 when every slot is in use.
int grain_assign(int c);
// The grain that member c carries, or -1.
int grain_find_carried(int c);
// Lays the carried grain g down at bakery b, at pos.
void grain_drop_at_bakery(int g, int b, const float pos[3]);
// Baked; an index outside the pool is ignored.
void grain_release(int g);
int grain_count_in_use();
// Once per frame: every carried grain takes its carrier's transform from trfs.
void grain_follow_carriers(const float (*trfs)[16]);
// out != 0 writes the slots in use; else clears the pool, reads them back
// into the same slots and returns false (logged) when anything is damaged or
// out of range.
bool grain_serialize(int out, FILE* f);
