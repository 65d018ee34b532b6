// The per-frame world update.
#pragma once
#include <cstdint>

// One frame: spawning, fields, steps physics steps of 1/240 s, production,
// fatigue, jobs, stats. dt is the frame's total time.
void wld_update(int32_t steps, double dt);
// The frame's three parts in its order, apart so that the physics can be
// timed alone: spawning, fields and the held selection (false when no game
// is started, and the frame ends there); the steered physics steps; cats,
// production, fatigue, jobs, stats and poses.
bool wld_update_begin(double dt);
void wld_update_bodies(int32_t steps);
void wld_update_finish(int32_t steps, double dt);
// True when a worker was spawned by this call.
bool wld_update_spawning(float dt);
// Holds the selected body still and moves the marker to it; false when
// nothing is selected.
bool wld_follow_selected();
// The death-limit warning for the running difficulty; *percent receives the
// limit in percent of the crowd.
bool wld_critical_dead(int32_t* percent);
// How many may die before the game is lost: 40%, 20% or 5% of the crowd.
int32_t wld_death_limit(int32_t difficulty, int32_t crowd);
