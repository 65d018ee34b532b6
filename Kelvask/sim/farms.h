// Farm fields: nine plants on a 3 by 3 plot. Irrigation workers bring water
// to the four water cells, the stored water grows one plant after the other,
// field workers take the oldest ripe plant's grain at the four grain cells.
// Every step each farm writes how strongly its cells pull workers.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXFARMS 512
#define FARM_PLANTS 9

extern int32_t farms_count;
extern int32_t farms_cidx[MAXFARMS];                 // centre cell
extern float farms_watr[MAXFARMS];                   // stored water, +0.5 per delivery
extern float farms_size[MAXFARMS][FARM_PLANTS];      // growth, ripe at 1.0
extern int32_t farms_prod[MAXFARMS];                 // the plant growing now
extern int32_t farms_cons[MAXFARMS];                 // the plant the next harvest takes
extern int32_t farms_blck[MAXFARMS];                 // refused harvests since the last update
extern int32_t farms_mtbw[MAXFARMS];                 // track of water arrivals, -1 none
extern int32_t farms_mtbh[MAXFARMS];                 // track of harvests
extern int32_t farms_mtbb[MAXFARMS];                 // track of updates that saw refused harvests
extern float farms_trfs[MAXFARMS][FARM_PLANTS][16];  // one matrix per plant

// Start values: no farms, every record zero and empty, no tracks.
void farms_reset();
// Adds a farm centred on (x, y); the caller has tested the site and the
// capacity. The plot rises one step, its costs and walls with it. -1
// (logged) when the plot leaves the grid or the table is full.
int farms_add(int x, int y);
int farms_find_at(int cidx);
// Water brought to cell cidx: the farm's index when taken, else -1.
int farms_deliver_water(int cidx);
// A harvest at cell cidx: the farm's index when grain is taken, else -1.
int farms_harvest(int cidx);
void farms_update(float dt);
int farms_count_ripe(int f);
float farms_water_need(int f);
int farms_total_water();
int farms_count_watered();
// Once per frame: each plant's height scale (element 10) from its growth.
void farms_update_plants();
// out != 0 saves; else loads, false (logged) on a damaged section.
bool farms_serialize(int out, FILE* f);
