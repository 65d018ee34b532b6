// Grain and food items wherever they are held, and the plants of the farm
// fields: one instanced call per model, outlines in the edge pass.
#pragma once
#include <cstdint>

int32_t grain_draw(const float cam[5][16]);
int32_t food_draw(const float cam[5][16]);
int32_t farms_draw(const float cam[5][16]);
// From the instances the face draws of this frame gathered.
int32_t grain_draw_lines(const float cam[5][16]);
int32_t food_draw_lines(const float cam[5][16]);
int32_t farms_draw_lines(const float cam[5][16]);
// No instances gathered, as in a fresh process.
void items_draw_reset();
