// Food items: baked at a bakery, carried on a plate by a household servant,
// laid at a hut (eaten there) or a tax office (turned into silver). A slot is
// free when all four owner fields are -1; at most one is set at a time.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXFOOD 1024

extern int32_t food_bkry[MAXFOOD];    // holding bakery, -1 none
extern int32_t food_carr[MAXFOOD];    // carrying crowd member, -1 none
extern int32_t food_huts[MAXFOOD];    // holding hut, -1 none
extern int32_t food_taxc[MAXFOOD];    // holding tax office, -1 none
extern float food_trfs[MAXFOOD][16];  // column-major model matrix

// Every slot free; the matrices are left as they are. A new world and a
// load start from here.
void food_clear();
// As in a fresh process: every slot free, every matrix zero.
void food_reset();
// The lowest free slot, held by bakery b and placed at pos; -1 (logged) when
// every slot is in use.
int food_create_at_bakery(int b, const float pos[3]);
// The bakery's food f goes to member c; returns f, or -1 when f is no slot.
int food_pick_up(int f, int c);
// The food that member c carries, or -1.
int food_find_carried(int c);
// Lays the carried food f down at a hut h or a tax office t (the other -1).
void food_deliver(int f, int h, int t, const float pos[3]);
// Eaten or turned into silver; an index outside the pool is ignored.
void food_release(int f);
int food_count_in_use();
// Once per frame: every carried food takes its carrier's transform from trfs.
void food_follow_carriers(const float (*trfs)[16]);
// out != 0 writes the slots in use; else clears the pool, reads them back
// into the same slots and returns false (logged) when anything is damaged or
// out of range.
bool food_serialize(int out, FILE* f);
