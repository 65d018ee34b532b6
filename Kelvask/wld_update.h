// The per-frame world update.
#pragma once
#include <cstdint>

// One frame: spawning, fields, steps physics steps of 1/240 s, production,
// fatigue, jobs, stats. dt is the frame's total time.
void wld_update(int32_t steps, double dt);
// True when a worker was spawned by this call.
bool wld_update_spawning(float dt);
// Holds the selected body still and moves the marker to it; false when
// nothing is selected.
bool wld_follow_selected();
// The death-limit warning for the running difficulty; *percent receives the
// limit in percent of the crowd.
bool wld_critical_dead(int32_t* percent);
