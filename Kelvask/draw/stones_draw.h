// The sandstone blocks, all of them in one instanced call whatever their
// state, and the build marks.
#pragma once
#include <cstdint>

int32_t stones_draw(const float cam[5][16]);
int32_t stones_draw_lines(const float cam[5][16]);
