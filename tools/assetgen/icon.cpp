// The window icon: a stepped pyramid under a sun, 64x64 words of 0x00RRGGBB.
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "assetgen.h"

namespace {

const int SZ = 64;
const int GROUND = 54;  // first row of sand
const int LAYERS = 7;
const int STEP_H = 6;  // rows per layer
const int BASE_HALF = 26;
const int STEP_IN = 3;  // each layer is this much narrower on each side

struct rgb {
  float r, g, b;
};

rgb mix(rgb a, rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint32_t pack(rgb c) {
  auto byte = [](float v) { return (uint32_t)(v < 0 ? 0 : v > 255 ? 255 : v + 0.5f); };
  return byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

rgb sky(int x, int y) {
  const rgb top = {40, 90, 170}, horizon = {250, 190, 120};
  rgb c = mix(top, horizon, (float)y / GROUND);
  const float d = std::hypot(x - 49.5f, y - 11.5f);
  if (d < 7.0f) return {255, 236, 140};
  if (d < 15.0f) c = mix(c, {255, 220, 130}, (15.0f - d) / 8.0f * 0.6f);
  return c;
}

// Colour of the pyramid at (x, y), or false when the pixel is not on it.
bool pyramid(int x, int y, rgb* out) {
  const int layer = (GROUND - 1 - y) / STEP_H;
  if (y >= GROUND || layer >= LAYERS) return false;
  const int half = BASE_HALF - layer * STEP_IN;
  const float cx = 31.5f;
  if (x < cx - half || x > cx + half) return false;
  const rgb lit = {232, 196, 128}, shade = {176, 136, 84}, edge = {120, 88, 52};
  const bool top_row = (GROUND - 1 - y) % STEP_H == STEP_H - 1;
  *out = top_row ? edge : x < cx ? lit : shade;
  return true;
}

uint32_t pixel(int x, int y) {
  rgb c;
  if (pyramid(x, y, &c)) return pack(c);
  if (y >= GROUND)
    return pack(mix({214, 170, 100}, {170, 128, 70}, (float)(y - GROUND) / (SZ - GROUND)));
  return pack(sky(x, y));
}

}  // namespace

bool assetgen_icon(const char* out) {
  FILE* f = fopen(out, "w");
  if (!f) return false;
  for (int y = 0; y < SZ; y++)
    for (int x = 0; x < SZ; x++) fprintf(f, "0x%08x,%c", pixel(x, y), x % 8 == 7 ? '\n' : ' ');
  return fclose(f) == 0;
}
