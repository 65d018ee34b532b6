// Bakeries: field workers drop grain at the two grain cells, every two grain
// bake into one food in five seconds, household servants take it at the two
// food cells. Every step each bakery writes how strongly its cells pull and
// closes a pair of cells that keeps refusing carriers.
#pragma once
#include <cstdint>
#include <cstdio>

#define MAXBAKERIES 32
#define BAKERY_GRAIN 36  // grain places, 6 by 6
#define BAKERY_FOOD 18   // food places, 3 by 6

extern int32_t bakeries_count;
extern int32_t bakeries_cidx[MAXBAKERIES];
extern int32_t bakeries_grai[MAXBAKERIES];                // grain held
extern int32_t bakeries_food[MAXBAKERIES];                // food held
extern int32_t bakeries_gids[MAXBAKERIES][BAKERY_GRAIN];  // grain items, in drop order
extern int32_t bakeries_fids[MAXBAKERIES][BAKERY_FOOD];   // food items, -1 when the pool was full
extern float bakeries_bake[MAXBAKERIES];                  // baking progress 0..1
extern float bakeries_trfs[MAXBAKERIES][16];
extern int32_t bakeries_mtbd[MAXBAKERIES];  // track of grain drops, -1 none
extern int32_t bakeries_mtbp[MAXBAKERIES];  // track of food pick-ups
extern int32_t bakeries_mtbf[MAXBAKERIES];  // track of updates that saw a full store
extern int32_t bakeries_mtbe[MAXBAKERIES];  // track of updates that saw no food
extern int32_t bakeries_empt[MAXBAKERIES];  // pick-ups refused since the last update
extern int32_t bakeries_full[MAXBAKERIES];  // drops refused since the last update

// Start values: no bakeries, every record zero and empty, no tracks.
void bakeries_reset();
// Adds a bakery centred on (x, y); -1 when the site is taken.
int bakeries_add(int x, int y);
// Grain item g laid on bakery b (which holds fewer than 36); its place is
// written to pos. Returns b, or -1 (logged) when b cannot take it.
int bakeries_drop_grain(int g, float pos[3], int b);
void bakeries_update(float dt);
// out != 0 saves; else loads, false (logged) on a damaged section.
bool bakeries_serialize(int out, FILE* f);
