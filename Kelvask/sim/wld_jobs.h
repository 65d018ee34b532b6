// Fatigue, death and the job state machine: what each member does when it
// stands on the goal cell of its job state.
#pragma once

#include "crowd.h"

// Seconds of work after which member i is tired, and of exhaustion after
// which it dies; both shrink as the member's crowd_time grows.
float wld_work_limit(int i);
float wld_exhaust_limit(int i);
// Work and exhaustion time of every member, and death of the exhausted
// (never with the "cheat=" option).
void wld_update_fatigue(double dt);
// Lays the member's model down and frees its body.
void wld_kill(int i);
// A coordinate anywhere on the grid, where a member stranded in the water
// goes.
float wld_random_coord();
// Runs every member's arrival action, moving stranded ones back on land.
void wld_run_jobs();
// Member i's arrival action for its state, when it stands on its goal.
void wld_arrive(int i);
