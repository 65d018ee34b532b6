// One instanced model of the geometry registry drawn from an array of
// instance matrices made by the pose step: its faces, or its outline. The
// caller binds the program. Each returns the draw calls it issued.
#pragma once
#include <cstdint>

#include "geomdesc.h"

// Gives this frame's buffers a fresh store first; the outline of the same
// frame then reuses it.
int32_t inst_draw(const float cam[5][16], geomdesc* d, const float (*inst)[16], int32_t n);
int32_t inst_draw_lines(const float cam[5][16], const geomdesc* d, const float (*inst)[16],
                        int32_t n);
