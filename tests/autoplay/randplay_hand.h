// The random player's hand: the mouse and keys as the shell routes them to
// the views and the controller, without a window. The pointer rests on a
// ground point or on a view; each frame the pick sees the depth under it.
#pragma once
#include <cstdint>

#define RANDPLAY_W 1280
#define RANDPLAY_H 720

// Points at the ground point (x, y) (cells, on the terrain's height; off the
// grid at the water's height); false when it lies off the screen.
bool hand_aim(float x, float y);
// Whether the ground point (x, y) lies on the screen.
bool hand_sees(float x, float y);
// Points at a view at (fx, fy) of its rectangle (0..1 each way).
void hand_aim_view(int view, float fx, float fy);
// The left button (pointer 0) goes down or up where the pointer is.
void hand_down();
void hand_up();
// One step of a left-button drag: the pointer moves by (dx, dy) of the
// window height, posting the motion as the shell does.
void hand_drag(float dx, float dy);
// The pointer's motion (in window heights) that moves the ground under it by
// (gx, gy) cells; false when the camera looks straight down its own axis.
bool hand_motion_for(float gx, float gy, float* dx, float* dy);
void hand_key(int32_t key, bool down);
// The frame's end as the shell runs it: the controller's update, the
// drawing camera taken, the pick under the pointer, a release let go.
void hand_frame(int32_t steps);
// A fresh process's pointer: nothing held, resting on no view.
void hand_reset();
