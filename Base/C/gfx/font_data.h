// The built-in font's tables, generated at build time: per character code
// its advance, its vertex count (whole triangles) and its first vertex.
#pragma once
#include <cstdint>

#define FONT_GLYPHS 128

extern const float font_advance[FONT_GLYPHS];
extern const int32_t font_count[FONT_GLYPHS];
extern const int32_t font_first[FONT_GLYPHS];
extern const int32_t font_vertex_count;  // vertices in font_vertices
extern const float font_vertices[];      // x, y pairs in font units
