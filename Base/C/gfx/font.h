// Lays out text in the built-in vector font: 2D triangle vertices in one
// static buffer, overwritten by every call.
#pragma once
#include <cstdint>

#define TEXT_MAX_TRIANGLES 4096

extern float text_vertices[TEXT_MAX_TRIANGLES * 3 * 2];

// x0, y0: the top-left corner; sx, sy: scale, 1 gives 0.2 units per font unit.
// Returns the triangles written; width and height of the laid-out block.
int32_t text_to_triangles(const char* text, float x0, float y0, float sx, float sy, float* width,
                          float* height);
