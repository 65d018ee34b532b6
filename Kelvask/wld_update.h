// World state advanced by the per-frame world update, and the per-member
// arrays that sit beside the crowd's.
#pragma once
#include <cstdint>

#include "crowd.h"

#define TRADECNT 4

extern double wld_age;          // simulated seconds; only a load sets it back
extern int32_t wld_numdead;
extern double wld_dt;           // this update's dt, read by the field jobs
extern int32_t wld_started;     // the update does nothing while 0
extern int32_t wld_initialised; // a world exists
extern int32_t wld_gameover;
extern int32_t wld_completed;
extern int32_t spawnqueues[TRADECNT];
extern float wld_spawntimer;
extern int32_t wld_catspawn;
extern int32_t wld_spawnrr;     // round robin over the tax offices, never reset
extern float wld_stattimer;
extern int32_t wld_statcount;

extern float wld_worktime[CROWDSZ];
extern float wld_exhausttime[CROWDSZ];
extern uint32_t wld_emote[CROWDSZ];  // 0 none, 1 tired, 2 dead
extern float wld_trfs[CROWDSZ][16];  // model transform, column-major
