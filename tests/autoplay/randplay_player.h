// The random player's mind: what it does next, as gestures of the hand that
// run over the coming frames. Its style of play follows the seed.
#pragma once
#include <cstdint>

enum { STYLE_MIXED, STYLE_LOSE, STYLE_WIN };

// The seed's stream and style, for a new run. With `crowd` > 0 every new
// game starts grown: it has the silver such a game would have earned, and
// the player builds offices, bakeries and huts and hires until the crowd
// holds `crowd` workers.
void randplay_begin(uint32_t seed, int32_t crowd);
// A number 0..1 from the seed's stream.
float randplay_unit();
// Whether the style plays with the cheat option (nobody dies).
bool randplay_cheats();
// The map as the player sees it at a start: its water edges and cliffs.
void randplay_survey();
// Lets go of the gesture under way: the process it played in has ended.
void randplay_forget();
// This frame's input: a new gesture now and then, the next steps of the one under way.
void randplay_act();
