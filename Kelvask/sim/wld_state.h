// The world's own state: its scalars and the per-member arrays that sit
// beside the crowd's.
#pragma once
#include <cstdint>

#include "crowd.h"

#define TRADECNT 4
#define WLD_STEP (1.0f / 240.0f)  // one simulation step, seconds
#define WLD_STATPERIOD 3.0f       // seconds between two stats posts

extern double wld_age;  // simulated seconds; only a load sets it back
extern int32_t wld_numdead;
extern double wld_dt;            // this update's dt, read by the field jobs
extern int32_t wld_started;      // the update does nothing while 0
extern int32_t wld_initialised;  // a world exists
extern int32_t wld_gameover;
extern int32_t wld_completed;
extern int32_t spawnqueues[TRADECNT];
extern float wld_spawntimer;
extern int32_t wld_catspawn;
extern int32_t wld_spawnrr;  // round robin over the tax offices, never reset
extern float wld_stattimer;
extern int32_t wld_statcount;

extern float wld_worktime[CROWDSZ];
extern float wld_exhausttime[CROWDSZ];
extern uint32_t wld_emote[CROWDSZ];  // 0 none, 1 tired, 2 dead
extern float emote_age[CROWDSZ];     // seconds the dead sprite has been drawn
extern float wld_trfs[CROWDSZ][16];  // model transform, column-major

// Centre of the selection spiral (x, y in cells, z in world units), written
// while a worker or cat is selected; the pane draws the spiral around it.
extern float spiral_centre[3];

// Rules of the running game that the world reads and the controller and the
// shell set.
extern int32_t ctrl_footprint;    // side of the placement footprint: 3 buildings, 1 build marks
extern int32_t ctrl_placemargin;  // largest height difference from the centre cell under it
extern int32_t ctrl_difficulty;   // 0..2, taken from the settings at play
extern int32_t sdlmain_cheat;     // the "cheat=" option: nobody dies, no stats
