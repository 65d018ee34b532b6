// The build cursor over the cells a building would take, the rectangle of
// build marks being chosen, and the sprites over tired and dead workers.
// Each returns its draw calls. cam: the drawing camera record.
#pragma once
#include <cstdint>

// Faces under the Grid program; the verdict picks the model's colour.
int32_t ctrl_draw_cursor(const float cam[5][16], bool allowed, const uint8_t* heights);
// Outlines under the Edge program, its line colour set.
int32_t ctrl_draw_cursor_lines(const float cam[5][16], bool allowed, const uint8_t* heights);
int32_t ctrl_draw_area(const float cam[5][16], const uint8_t* heights);
int32_t ctrl_draw_area_lines(const float cam[5][16], const uint8_t* heights);
// Under the Emot program with "emote" bound and the point size set; ages the
// dead members' sprites by dt and drops them after ten seconds.
int32_t ctrl_draw_emotes(float dt, const float cam[5][16]);
