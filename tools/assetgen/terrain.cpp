// The terrain height map: a binary 128x128 grey map whose grey levels are
// four times the game's height steps. A river runs west to east across the
// north; south of it a flood plain for the fields rises up an escarpment to
// the desert plateau that carries the tax office, the pyramid site, the stone
// stock and a few rocky hills. North of the river rise cliffs.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "assetgen.h"

namespace {

const int N = 128;
const float PI = 3.14159265f;

// Heights in game steps. A pyramid layer counts once its whole square stands
// at 41 + 3 * layer and a finished mark lifts its cell by 3: a site at 39
// stays below 41 until every base cell is built and then reaches 42, and each
// later layer likewise lands 1 above its threshold. The ground around the site
// is at the same level so builders step up at most 3 per finished layer.
const int SITE_LEVEL = 39;
const int PLATEAU = 40;
const int SITE_X0 = 36, SITE_X1 = 48, SITE_Y0 = 62, SITE_Y1 = 74;
const int TAXC_X = 61, TAXC_Y = 59;
const int STOCK_0 = 119, STOCK_1 = 124;

// Lattice value noise in -1..1, fixed seed.
float lattice(int ix, int iy) {
  uint32_t h = (uint32_t)ix * 374761393u + (uint32_t)iy * 668265263u + 0x5bd1e995u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (float)(h & 0xffff) / 32767.5f - 1.0f;
}

float smooth(float t) { return t * t * (3.0f - 2.0f * t); }

float noise(float x, float y) {
  int ix = (int)std::floor(x), iy = (int)std::floor(y);
  float fx = smooth(x - ix), fy = smooth(y - iy);
  float a = lattice(ix, iy) + (lattice(ix + 1, iy) - lattice(ix, iy)) * fx;
  float b = lattice(ix, iy + 1) + (lattice(ix + 1, iy + 1) - lattice(ix, iy + 1)) * fx;
  return a + (b - a) * fy;
}

float river_centre(float x) {
  return 21.0f + 3.5f * std::sin(x * 2 * PI / 64 + 0.7f) + 1.5f * std::sin(x * 2 * PI / 23 + 2.0f);
}

float river_half_width(float x) { return 3.2f + 0.8f * std::sin(x * 2 * PI / 37); }

// Gentle dunes on the plateau: at most a step or so per few cells.
float plateau(float x, float y) {
  return PLATEAU + 0.5f + 1.2f * noise(x / 18, y / 18 + 40) + 0.5f * noise(x / 7 + 20, y / 7);
}

// South bank, d cells from the water: two bank rows of height 1 and 2 (the
// water's edge), a flood plain rising about a step every two cells, then an
// escarpment of two steps per cell up to the plateau.
float south_bank(float x, float y, float d) {
  if (d < 1) return 1.5f;
  if (d < 2) return 2.5f;
  const float plain_end = 10 + 3 * noise(x / 12, 7.5f);
  float h = 2.5f + 0.45f * (d - 2) + 0.4f * noise(x / 5, y / 5);
  if (d > plain_end) h = 2.5f + 0.45f * (plain_end - 2) + 2.0f * (d - plain_end);
  float top = plateau(x, y);
  return h < top ? h : top;
}

// North bank: a short beach, then cliffs up to rocky heights.
float north_bank(float x, float y, float d) {
  if (d < 1) return 1.5f;
  if (d < 2) return 2.5f;
  float rock = 46 + 8 * noise(x / 9, y / 9 + 90) + 3 * noise(x / 3, y / 3);
  float h = 2.5f + 4.0f * (d - 2);
  return h < rock ? h : rock;
}

struct hill {
  float x, y, radius, height;
};

const hill hills[] = {
    {16, 104, 16, 19},                     // south-west massif
    {78, 117, 10, 10}, {104, 66, 11, 12},  // east of the tax office, clear of the stock's roads
    {18, 48, 9, 8},    {122, 88, 8, 9},
};

// Rounded rocky hills: a smooth bump roughened by fine noise, steep enough in
// places that workers go around.
float hills_at(float x, float y) {
  float sum = 0;
  for (const hill& k : hills) {
    float r = std::hypot(x - k.x, y - k.y) / k.radius;
    if (r >= 1) continue;
    float bump = (1 - r * r) * (1 - r * r);
    sum += bump * (k.height + 8 * noise(x / 3 + k.x, y / 3 + k.y));
  }
  return sum;
}

// Blend weight of a flattened rectangle: 1 within margin cells of it, falling
// to 0 over the next blend cells.
float flat_weight(float x, float y, int x0, int y0, int x1, int y1, float margin, float blend) {
  float dx = std::fmax(std::fmax(x0 - x, x - x1), 0.0f);
  float dy = std::fmax(std::fmax(y0 - y, y - y1), 0.0f);
  float d = std::hypot(dx, dy) - margin;
  if (d <= 0) return 1;
  return d >= blend ? 0 : 1 - d / blend;
}

// Flattens towards `level` (the .5 keeps the grey level inside that step).
float flatten(float h, float w, int level) { return h + (level + 0.5f - h) * w; }

float height_at(int x, int y) {
  const float fx = (float)x, fy = (float)y;
  const float dy = fy - river_centre(fx);
  const float d = std::fabs(dy) - river_half_width(fx);
  if (d < 0) return 0.25f;  // water
  float h = dy > 0 ? south_bank(fx, fy, d) : north_bank(fx, fy, d);
  // Hills rise out of the plateau and fade down the escarpment.
  if (dy > 0) h += hills_at(fx, fy) * std::fmin(std::fmax((h - 20) / (PLATEAU - 20), 0.0f), 1.0f);
  h = flatten(h, flat_weight(fx, fy, SITE_X0, SITE_Y0, SITE_X1, SITE_Y1, 4, 8), SITE_LEVEL);
  h = flatten(h, flat_weight(fx, fy, TAXC_X - 2, TAXC_Y - 2, TAXC_X + 2, TAXC_Y + 2, 1, 6),
              PLATEAU);
  h = flatten(h, flat_weight(fx, fy, STOCK_0, STOCK_0, STOCK_1, STOCK_1, 2, 6), PLATEAU);
  return h;
}

uint8_t grey(float h) {
  int g = (int)(h * 4);
  return (uint8_t)(g < 0 ? 0 : g > 255 ? 255 : g);
}

}  // namespace

bool assetgen_terrain(const char* out) {
  FILE* f = fopen(out, "wb");
  if (!f) return false;
  fprintf(f, "P5\n%d %d\n255\n", N, N);
  uint8_t row[N];
  for (int y = 0; y < N; y++) {
    for (int x = 0; x < N; x++) row[x] = grey(height_at(x, y));
    fwrite(row, 1, N, f);
  }
  return fclose(f) == 0;
}
