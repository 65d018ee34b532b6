#include "wld_state.h"

double wld_age;
int32_t wld_numdead;
double wld_dt;
int32_t wld_started;
int32_t wld_initialised;
int32_t wld_gameover;
int32_t wld_completed;
int32_t spawnqueues[TRADECNT];
float wld_spawntimer = 1.0f;
int32_t wld_catspawn;
int32_t wld_spawnrr;
float wld_stattimer;
int32_t wld_statcount;

float wld_worktime[CROWDSZ];
float wld_exhausttime[CROWDSZ];
uint32_t wld_emote[CROWDSZ];
float emote_age[CROWDSZ];
float wld_trfs[CROWDSZ][16];

float spiral_centre[3];

int32_t ctrl_footprint = 3;
int32_t ctrl_placemargin = 2;
int32_t ctrl_difficulty = 1;
int32_t sdlmain_cheat;
