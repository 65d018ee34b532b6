// The crowd: one index per worker into parallel arrays, and the crowd's side
// of the potential fields (density and counter-flow costs, flow directions,
// moving the followers of a field, ground height under each member).
#pragma once
#include <cstdint>
#include <cstdio>

#include "grid.h"

#define CROWDSZ 4000

// Job states (crowd_goal): a member in state s of 1..9 walks down field s - 1
// to a cell of type s; each trade fetches in its first state and carries in
// the next one.
enum {
  JOB_FETCHSTONE = 1,
  JOB_CARRYSTONE = 2,
  JOB_FETCHWATER = 3,
  JOB_CARRYWATER = 4,
  JOB_FETCHGRAIN = 5,
  JOB_CARRYGRAIN = 6,
  JOB_FETCHFOOD = 7,
  JOB_CARRYFOOD = 8,
  JOB_TIRED = 9,
  JOB_RESTING = 11,
  JOB_DEAD = 12,
};

// The state a member of trade 0..3 starts in and returns to after a rest.
inline uint32_t crowd_first_state(uint32_t trade) { return JOB_FETCHSTONE + 2 * trade; }

extern int32_t crowd_sz;  // members 0..crowd_sz-1; appended only, never removed

// Saved per member.
extern float crowd_posx[CROWDSZ];  // position in cells
extern float crowd_posy[CROWDSZ];
extern double crowd_time[CROWDSZ];     // accumulated move time, seconds
extern float crowd_phase[CROWDSZ];     // walk animation phase
extern uint32_t crowd_goal[CROWDSZ];   // job state; follows field crowd_goal - 1
extern uint32_t crowd_trade[CROWDSZ];  // 0 builder, 1 irrigation, 2 field, 3 servant

// Rebuilt every frame.
extern float crowd_velx[CROWDSZ];
extern float crowd_vely[CROWDSZ];
extern int32_t crowd_cidx[CROWDSZ];
extern float crowd_fracx[CROWDSZ];  // position within the cell, 0 <= f < 1
extern float crowd_fracy[CROWDSZ];
extern float crowd_dirx[CROWDSZ];  // unit move direction from the last move job
extern float crowd_diry[CROWDSZ];
extern float crowd_groundz[CROWDSZ];  // ground height in world units

extern uint32_t crowd_density[GRIDCELLS];
extern float crowd_avgvx[GRIDCELLS];  // 0 where fewer than two members stand
extern float crowd_avgvy[GRIDCELLS];
alignas(32) extern float crowd_costw[GRIDCELLS];
alignas(32) extern float crowd_coste[GRIDCELLS];
alignas(32) extern float crowd_costn[GRIDCELLS];
alignas(32) extern float crowd_costs[GRIDCELLS];

// The terrain the crowd walks on: heights and the four step-cost grids of
// GRIDCELLS each, owned by the world, which hands them over whenever it
// builds its costs.
void crowd_bind_terrain(const uint8_t* height, const float* costw, const float* coste,
                        const float* costn, const float* costs);

// Appends one member of trade 0..3 in the trade's fetch state; the caller
// takes crowd_sz before the call as its index and sets the other fields.
void crowd_add(int trade);
// Start values: no members, every member array and grid zero. The terrain
// stays bound.
void crowd_reset();
void crowd_splat();
void crowd_compute_costs(float* costw, float* coste, float* costn, float* costs);
// The angle grid (atan2 of the direction) only when angle is not null:
// play never reads it, and it costs as much as the directions.
void crowd_flow_field(const float* potential, const uint8_t* flags, float* flowx, float* flowy,
                      float* angle);
// The angle grid crowd_flow_field would write for the same potential and
// flags, computed when something draws it.
void crowd_flow_angle(const float* potential, const uint8_t* flags, float* angle);
// Runs on a pool thread beside another field's job: moves only the members in
// job state t + 1, and adds dt to every member's crowd_time atomically.
void crowd_move_group(double dt, int t, const float* flowx, const float* flowy, const float* costw,
                      const float* coste, const float* costn, const float* costs);
void crowd_sample_height();

// What the cats share with the crowd. The position v's fraction within its
// cell, 0 <= f < 1 (0 for NaN).
float crowd_cell_fraction(float v);
// Unit direction of a flow field at fractions (fx, fy) of cell c, blended
// from the four nearest cells but never through a side whose cost is
// FLT_UNDF; shorter than one where the flow is faint.
void crowd_flow_at(int c, float fx, float fy, const float* flowx, const float* flowy,
                   const float* costw, const float* coste, const float* costn, const float* costs,
                   float* dx, float* dy);
// Ground height in world units at fractions (fx, fy) of cell c: flat over the
// inner 0.6 of the cell, rising smoothly towards the neighbours' at the edges.
float crowd_ground_height(int c, float fx, float fy);
// out != 0 writes crowd_sz members to bin, else reads them. A failed read
// leaves every array as it was and returns false. Times and phases must be
// finite; a place may be any number, for the world to judge.
bool crowd_serialize(int out, FILE* bin);
