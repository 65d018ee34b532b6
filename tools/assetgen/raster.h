// A small 2D painter for the generated art: antialiased shapes measured by
// signed distance, composited over an RGBA canvas (y down, pixel units,
// through a settable offset and scale).
#pragma once

#define RASTER_MAXW 1024
#define RASTER_MAXH 512

struct rgba {
  float r, g, b, a;  // 0..1, straight alpha
};

void raster_begin(int w, int h);  // transparent canvas
int raster_width();
int raster_height();
// Later shapes are drawn at offset + scale * coordinates.
void raster_transform(float ox, float oy, float scale);

void raster_circle(float cx, float cy, float r, rgba c);
void raster_ellipse(float cx, float cy, float rx, float ry, rgba c);
void raster_ring(float cx, float cy, float r, float width, rgba c);
void raster_box(float x0, float y0, float x1, float y1, float radius, rgba c);
// The same box shaded from top to bottom colour.
void raster_box_shaded(float x0, float y0, float x1, float y1, float radius, rgba top, rgba bottom);
void raster_line(float x0, float y0, float x1, float y1, float width, rgba c);
void raster_poly(const float* xy, int n, rgba c);  // any simple polygon
// Text in the stroke font with its baseline at y, size px per font unit;
// returns the width drawn. Needs fontgen_build first.
float raster_text(const char* text, float x, float y, float size, rgba c);
float raster_text_width(const char* text, float size);

// Straight-alpha bytes of a pixel.
void raster_pixel(int x, int y, unsigned char out[4]);
// Writes the canvas as dir/name.WxH: RGBA bytes, bottom row first.
bool raster_write(const char* dir, const char* name);
