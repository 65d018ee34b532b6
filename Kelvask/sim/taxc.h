// Tax offices and the player's silver: a food item delivered at an office's
// centre turns into 2 silver a few steps later. New workers appear at the
// offices.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXTAXC 16
#define TAXC_STEPS 6  // simulation steps a delivered food lies before it pays
#define TAXC_PAY 2    // silver per food turned in
#define TAXC_START_SILVER 200
#define TAXC_MAX_SILVER 1000000000  // deliveries add nothing past it

extern int32_t taxc_silver;
extern int32_t taxc_count;
extern int32_t taxc_cidx[MAXTAXC];  // centre cell
extern int32_t taxc_fdid[MAXTAXC];  // food item lying at the office, -1 none
extern int32_t taxc_food[MAXTAXC];  // steps until that food pays; 0 idle
extern float taxc_trfs[MAXTAXC][16];
extern int32_t taxc_mtbf[MAXTAXC];  // event track of deliveries, -1 none

// Start values: no offices, every record zero and empty, no tracks, the
// starting silver.
void taxc_reset();
// Adds an office centred on (x, y); -1 when the footprint leaves the grid,
// the 5x5 area around it holds a typed cell, or the table is full.
int taxc_add(int x, int y);
void taxc_stamp_footprint(int t);
// One simulation step.
void taxc_update();
// out != 0 writes the section (silver included); else reads it and returns
// false (logged) when anything does not scan or lies out of range.
bool taxc_serialize(int out, FILE* f);
