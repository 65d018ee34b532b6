// The world's own graphics resources and its debugging overlay of one
// potential field: cells coloured by potential, a small arrow per cell along
// the flow. The caller binds the program before each draw.
#pragma once
#include <cstdint>

// The overlay's buffers and the eight terrain and building textures.
void wld_load_resources();
void wld_delete_resources();
// The colour of potential v in a field whose reached values start at lo and
// span range (already capped), into rgb.
void wld_potential_colour(float v, float lo, float range, float* rgb);
// The outlines of the blocks, plants, tools and items in one line colour.
int32_t wld_draw_lines(const float cam[5][16]);
// Field g (0..GROUPCNT-1) coloured by potential. Returns its draw calls.
int32_t wld_draw_terrain(const float cam[5][16], int32_t g);
// Field g's flow arrows. Returns its draw calls.
int32_t wld_draw_grid(const float cam[5][16], int32_t g);
