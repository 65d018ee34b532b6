// The random player's hand and mind: gestures as the shell routes the mouse
// to the views and the controller, run over the coming frames.
#pragma once
#include <cstdint>

// The seed's stream; with `crowd` > 0 every new game has the silver to grow
// to `crowd` workers, and the player builds and hires until it has.
void randplay_begin(uint32_t seed, int32_t crowd);
float randplay_unit();
// A fresh process: nothing held, no gesture under way, the map surveyed.
void randplay_forget();
// This frame's input: a new gesture now and then, the next step of the one under way.
void randplay_act();
// The frame's end as the shell runs it: the update, the camera, the pick.
void randplay_frame(int32_t steps);
