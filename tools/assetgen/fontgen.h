// The stroke font: glyph outlines written as strokes, turned into filled
// triangles once at build time. The generator writes the tables into the
// game; the art generator draws its captions with the same triangles.
#pragma once

#define FONTGEN_GLYPHS 128
#define FONTGEN_MAX_VERTICES 16384
#define FONTGEN_STROKE 0.7f  // stroke width in font units

// Source of one glyph: character code, advance and strokes (fontgen.cpp
// explains the notation).
struct fontgen_source {
  int code;
  float advance;
  const char* strokes;
};
extern const fontgen_source fontgen_sources[];
extern const int fontgen_source_count;

extern float fontgen_advance[FONTGEN_GLYPHS];
extern int fontgen_count[FONTGEN_GLYPHS];
extern int fontgen_first[FONTGEN_GLYPHS];
extern float fontgen_vertices[FONTGEN_MAX_VERTICES * 2];
extern int fontgen_nvertices;

// Fills the tables from the sources; false (and a line on stderr) when a
// source does not parse or gives a degenerate triangle.
bool fontgen_build();
