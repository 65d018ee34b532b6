// The workers' tools at their carriers: empty and full buckets and plates,
// sickles. full: 0 the empty set, 1 the full set.
#pragma once
#include <cstdint>

int32_t buckets_draw(const float cam[5][16], int full);
int32_t plates_draw(const float cam[5][16], int full);
int32_t sickles_draw(const float cam[5][16]);
int32_t buckets_draw_lines(const float cam[5][16], int full);
int32_t plates_draw_lines(const float cam[5][16], int full);
int32_t sickles_draw_lines(const float cam[5][16]);
