// Huts: tired workers rest here 12 s and leave after eating one portion of
// the hut's food; servants bring the food, ten portions per item. Every step
// the huts let residents rest and leave and set the pull of their rest entry
// and food drop-off in wld_goalweight.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXHUTS 128
#define HUTS_MAXRESI 10      // residents per hut
#define HUTS_PORTIONS 10     // portions per delivered food item
#define HUTS_RESTTIME 12.0f  // seconds a resident rests before it may eat

extern int32_t huts_count;
extern int32_t huts_cidx[MAXHUTS];  // centre cell
extern int32_t huts_fdid[MAXHUTS];  // food item lying at the hut, -1 none
extern int32_t huts_food[MAXHUTS];  // portions left, 0..10
extern float huts_trfs[MAXHUTS][16];
extern int32_t huts_resi[MAXHUTS][HUTS_MAXRESI];  // 0..occu-1 valid, others -1
extern float huts_rest[MAXHUTS][HUTS_MAXRESI];    // seconds rested, same slots
extern int32_t huts_occu[MAXHUTS];
extern int32_t huts_mtbo[MAXHUTS];  // event tracks (-1: none could be made): entries,
extern int32_t huts_mtbb[MAXHUTS];  // entries that filled the hut or found it full,
extern int32_t huts_mtbf[MAXHUTS];  // food deliveries,
extern int32_t huts_mtbr[MAXHUTS];  // the food running out

// Start values: no huts, every record zero and empty, no tracks.
void huts_reset();
// Adds a hut centred on (x, y); -1 when the footprint leaves the grid, the
// 5x5 area around it holds a typed cell, or the table is full.
int huts_add(int x, int y);
// The lowest hut whose centre is within one cell of cidx in x and y, or -1.
int huts_find_at(int cidx);
// Food item f is left at hut h; pos receives where it lies. -1 when the hut
// already holds food (the servant keeps it).
int huts_deliver_food(int h, int f, float pos[3]);
// Member m standing at cidx enters the hut there: its index, or -1 (no hut,
// or full). The caller sets the member's state to resting.
int huts_enter(int cidx, int m);
// m, or -1 when m is not a resident of h.
int huts_leave(int h, int m);
// One simulation step; residents who leave get their trade's first state in goal.
void huts_update(float dt, uint32_t* goal);
// out != 0 writes the section; else reads it and returns false (logged) when
// anything does not scan or lies out of range.
bool huts_serialize(int out, FILE* f);
