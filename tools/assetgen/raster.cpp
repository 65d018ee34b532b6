// Coverage is taken from the signed distance to a shape's edge at the pixel
// centre (one pixel of smoothing); text is sampled 4x4 per pixel so that
// triangles sharing an edge leave no seam.
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "fontgen.h"

namespace {

float canvas[RASTER_MAXH][RASTER_MAXW][4];  // premultiplied
int cw, ch;
float tox, toy, tscale = 1;

float px(float x) { return tox + x * tscale; }
float py(float y) { return toy + y * tscale; }

void blend(int x, int y, rgba c, float cover) {
  const float a = c.a * std::min(1.0f, std::max(0.0f, cover));
  if (a <= 0) return;
  float* d = canvas[y][x];
  d[0] = c.r * a + d[0] * (1 - a);
  d[1] = c.g * a + d[1] * (1 - a);
  d[2] = c.b * a + d[2] * (1 - a);
  d[3] = a + d[3] * (1 - a);
}

// Paints every pixel of the box [x0,x1]x[y0,y1] (canvas pixels) with the
// colour colour(y) at coverage 0.5 - dist(x, y).
template <typename Dist, typename Colour>
void paint(float x0, float y0, float x1, float y1, Dist dist, Colour colour) {
  const int ix0 = std::max(0, (int)std::floor(x0) - 1), iy0 = std::max(0, (int)std::floor(y0) - 1);
  const int ix1 = std::min(cw - 1, (int)std::ceil(x1) + 1),
            iy1 = std::min(ch - 1, (int)std::ceil(y1) + 1);
  for (int y = iy0; y <= iy1; y++)
    for (int x = ix0; x <= ix1; x++) blend(x, y, colour(y + 0.5f), 0.5f - dist(x + 0.5f, y + 0.5f));
}

float box_dist(float x, float y, float cx, float cy, float hx, float hy, float r) {
  const float qx = std::fabs(x - cx) - hx + r, qy = std::fabs(y - cy) - hy + r;
  const float ox = std::max(qx, 0.0f), oy = std::max(qy, 0.0f);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0f) - r;
}

float seg_dist(float x, float y, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0;
  t = std::min(1.0f, std::max(0.0f, t));
  return std::hypot(x - ax - t * dx, y - ay - t * dy);
}

bool inside_tri(float x, float y, const float* a, const float* b, const float* c) {
  const float d1 = (b[0] - a[0]) * (y - a[1]) - (b[1] - a[1]) * (x - a[0]);
  const float d2 = (c[0] - b[0]) * (y - b[1]) - (c[1] - b[1]) * (x - b[0]);
  const float d3 = (a[0] - c[0]) * (y - c[1]) - (a[1] - c[1]) * (x - c[0]);
  return (d1 >= 0 && d2 >= 0 && d3 >= 0) || (d1 <= 0 && d2 <= 0 && d3 <= 0);
}

// One glyph's triangles in canvas pixels, sampled 4x4.
void glyph(int code, float x, float y, float size, rgba c) {
  static float tri[FONTGEN_MAX_VERTICES * 2];
  const int n = fontgen_count[code];
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (int v = 0; v < n; v++) {
    const float* s = &fontgen_vertices[(fontgen_first[code] + v) * 2];
    tri[v * 2] = px(x + s[0] * size);
    tri[v * 2 + 1] = py(y - s[1] * size);
    x0 = std::min(x0, tri[v * 2]), x1 = std::max(x1, tri[v * 2]);
    y0 = std::min(y0, tri[v * 2 + 1]), y1 = std::max(y1, tri[v * 2 + 1]);
  }
  if (n == 0) return;
  for (int iy = std::max(0, (int)y0); iy <= std::min(ch - 1, (int)y1); iy++)
    for (int ix = std::max(0, (int)x0); ix <= std::min(cw - 1, (int)x1); ix++) {
      int hits = 0;
      for (int s = 0; s < 16; s++) {
        const float sx = ix + (s % 4 + 0.5f) / 4, sy = iy + (s / 4 + 0.5f) / 4;
        for (int t = 0; t < n; t += 3)
          if (inside_tri(sx, sy, &tri[t * 2], &tri[t * 2 + 2], &tri[t * 2 + 4])) {
            hits++;
            break;
          }
      }
      blend(ix, iy, c, hits / 16.0f);
    }
}

// Lays out a line as the game's font does; draws it when draw is set.
float layout(const char* text, float x, float y, float size, rgba c, bool draw) {
  float w = 0, pen = x;
  for (const unsigned char* s = (const unsigned char*)text; *s; s++) {
    if (*s >= 128) continue;
    if (*s == ' ') {
      pen += 3 * size;
      continue;
    }
    if (draw) glyph(*s, pen, y, size, c);
    w = pen - x + fontgen_advance[*s] * size;
    pen += (fontgen_advance[*s] + 1) * size;
  }
  return w;
}

}  // namespace

void raster_begin(int w, int h) {
  cw = std::min(w, RASTER_MAXW), ch = std::min(h, RASTER_MAXH);
  for (int y = 0; y < ch; y++)
    for (int x = 0; x < cw; x++)
      for (int k = 0; k < 4; k++) canvas[y][x][k] = 0;
  raster_transform(0, 0, 1);
}

int raster_width() { return cw; }
int raster_height() { return ch; }

void raster_transform(float ox, float oy, float scale) { tox = ox, toy = oy, tscale = scale; }

void raster_circle(float cx, float cy, float r, rgba c) { raster_ellipse(cx, cy, r, r, c); }

void raster_ellipse(float cx, float cy, float rx, float ry, rgba c) {
  const float x = px(cx), y = py(cy), a = rx * tscale, b = ry * tscale;
  paint(
      x - a, y - b, x + a, y + b,
      [&](float u, float v) {
        const float k = std::hypot((u - x) / a, (v - y) / b);
        return (k - 1.0f) * std::min(a, b);
      },
      [&](float) { return c; });
}

void raster_ring(float cx, float cy, float r, float width, rgba c) {
  const float x = px(cx), y = py(cy), rr = r * tscale, hw = width * tscale * 0.5f;
  paint(
      x - rr - hw, y - rr - hw, x + rr + hw, y + rr + hw,
      [&](float u, float v) { return std::fabs(std::hypot(u - x, v - y) - rr) - hw; },
      [&](float) { return c; });
}

void raster_box_shaded(float x0, float y0, float x1, float y1, float radius, rgba top,
                       rgba bottom) {
  const float a = px(x0), b = py(y0), e = px(x1), f = py(y1), r = radius * tscale;
  paint(
      a, b, e, f,
      [&](float u, float v) {
        return box_dist(u, v, (a + e) / 2, (b + f) / 2, (e - a) / 2, (f - b) / 2, r);
      },
      [&](float v) {
        const float t = std::min(1.0f, std::max(0.0f, (v - b) / std::max(1.0f, f - b)));
        return rgba{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                    top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
      });
}

void raster_box(float x0, float y0, float x1, float y1, float radius, rgba c) {
  raster_box_shaded(x0, y0, x1, y1, radius, c, c);
}

void raster_line(float x0, float y0, float x1, float y1, float width, rgba c) {
  const float a = px(x0), b = py(y0), e = px(x1), f = py(y1), hw = width * tscale * 0.5f;
  paint(
      std::min(a, e) - hw, std::min(b, f) - hw, std::max(a, e) + hw, std::max(b, f) + hw,
      [&](float u, float v) { return seg_dist(u, v, a, b, e, f) - hw; }, [&](float) { return c; });
}

void raster_poly(const float* xy, int n, rgba c) {
  static float p[256];
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  n = std::min(n, 128);
  for (int i = 0; i < n; i++) {
    p[i * 2] = px(xy[i * 2]), p[i * 2 + 1] = py(xy[i * 2 + 1]);
    x0 = std::min(x0, p[i * 2]), x1 = std::max(x1, p[i * 2]);
    y0 = std::min(y0, p[i * 2 + 1]), y1 = std::max(y1, p[i * 2 + 1]);
  }
  paint(
      x0, y0, x1, y1,
      [&](float u, float v) {
        float d = 1e9f;
        bool in = false;
        for (int i = 0, j = n - 1; i < n; j = i++) {
          const float *a = &p[i * 2], *b = &p[j * 2];
          d = std::min(d, seg_dist(u, v, a[0], a[1], b[0], b[1]));
          if ((a[1] > v) != (b[1] > v) && u < (b[0] - a[0]) * (v - a[1]) / (b[1] - a[1]) + a[0])
            in = !in;
        }
        return in ? -d : d;
      },
      [&](float) { return c; });
}

float raster_text_width(const char* text, float size) {
  return layout(text, 0, 0, size, {}, false);
}

float raster_text(const char* text, float x, float y, float size, rgba c) {
  return layout(text, x, y, size, c, true);
}

void raster_pixel(int x, int y, unsigned char out[4]) {
  const float* d = canvas[y][x];
  const float a = d[3];
  for (int k = 0; k < 3; k++)
    out[k] = (unsigned char)(a > 0 ? std::min(1.0f, d[k] / a) * 255.0f + 0.5f : 0);
  out[3] = (unsigned char)(std::min(1.0f, a) * 255.0f + 0.5f);
}

bool raster_write(const char* dir, const char* name) {
  char path[512];
  snprintf(path, sizeof path, "%s/%s.%dx%d", dir, name, cw, ch);
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  unsigned char row[RASTER_MAXW * 4];
  for (int y = ch - 1; y >= 0; y--) {  // the texture's first row is its bottom
    for (int x = 0; x < cw; x++) raster_pixel(x, y, &row[x * 4]);
    fwrite(row, 4, cw, f);
  }
  return fclose(f) == 0;
}
