// The game controller, as far as the shell drives it.
#pragma once
#include <cstdint>

extern int32_t ctrl_pressstate;  // 0 none, 1 pressed, 2 dragging; the shell resets it

// Build mode's placement rule, read by the world's placement test: the side
// of the footprint (3 buildings, 1 build marks) and the largest height
// difference from the centre cell allowed under it.
extern int32_t ctrl_footprint;
extern int32_t ctrl_placemargin;
// Difficulty of the running game (0..2), taken from the settings at play.
extern int32_t ctrl_difficulty;

// Reads the shell's width, height and content scale.
void ctrl_create();
void ctrl_update(int32_t steps, double dt);
void ctrl_draw(float dt, float elapsed);
void ctrl_pick(float depth);
// Closes whatever is open; false when nothing was.
bool ctrl_back();
void ctrl_destroy();
