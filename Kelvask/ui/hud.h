// The HUD's textures, its button icons and the hire gauges, drawn with the
// Hud program into the current viewport (the element's view).
#pragma once
#include <cstdint>

#define HUD_TEXTURE_COUNT 23

extern const char* const hud_textures[HUD_TEXTURE_COUNT];
extern const char* const hud_trade_icons[4];
extern const int32_t hud_trade_max[4];

// Loads the 23 textures from the texture directory; a missing one stops the game.
void hud_load_resources();
// trade -1: the silver icon alone; 0..3: the trade's icon and its bar of
// chosen workers out of the maximum.
void hud_draw_gauge(int32_t trade);
// colour (r, g, b, a) may be overwritten; a selected icon pulses with
// pulse_angle (the controller's sky angle).
void hud_draw_icon(const char* name, float* colour, bool selected, bool hovered, float pulse_angle);
