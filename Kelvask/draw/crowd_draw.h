// The workers, one instanced draw of the carrier model from the member
// transforms of the pose step, and the three textured ground meshes under
// them. The caller binds the program; each draw returns its draw calls.
#pragma once
#include <cstdint>

// cam: the drawing camera, five matrices (identity, view, projection, light
// view, light projection).
int32_t wld_crowd_draw(const float cam[5][16]);
int32_t wld_crowd_draw_ground(const float cam[5][16]);
// out = projection x view of cam.
void wld_view_projection(const float cam[5][16], float* out);
