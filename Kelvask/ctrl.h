// The game controller, as far as the shell drives it.
#pragma once
#include <cstdint>

extern int32_t ctrl_pressstate;  // 0 none, 1 pressed, 2 dragging; the shell resets it

// The shell hands over its drawable width, height and content scale.
void ctrl_create(int32_t width, int32_t height, float csf);
void ctrl_update(int32_t steps, double dt);
void ctrl_draw(float dt, float elapsed);
void ctrl_pick(float depth);
// Closes whatever is open; false when nothing was.
bool ctrl_back();
// A button went up: the press is over and a picked worker or cat is let go.
void ctrl_release();
void ctrl_destroy();
