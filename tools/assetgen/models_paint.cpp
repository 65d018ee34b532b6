// Painting of the terrain, building and carrier textures. A pixel's texture
// coordinate is (u, v) = (column / w, 1 - row / h): the programs sample at
// (u, 1 - v) and rows go up from the first one in the file.
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "models_buildings.h"
#include "models_gen.h"

namespace {

const float PI = 3.14159265f;

struct rgbf {
  float r, g, b;
};
rgbf mix(rgbf a, rgbf b, float t) {
  t = std::min(std::max(t, 0.0f), 1.0f);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
rgbf scale(rgbf a, float s) { return {a.r * s, a.g * s, a.b * s}; }

float hash(int x, int y, int seed) {
  uint32_t h = (uint32_t)x * 73856093u ^ (uint32_t)y * 19349663u ^ (uint32_t)seed * 83492791u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return (float)((h ^ (h >> 16)) & 0xffff) / 65535.0f;
}

// Smooth value noise in 0..1.
float noise(float x, float y, int seed) {
  int ix = (int)std::floor(x), iy = (int)std::floor(y);
  float fx = x - ix, fy = y - iy;
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = hash(ix, iy, seed) + (hash(ix + 1, iy, seed) - hash(ix, iy, seed)) * fx;
  float b = hash(ix, iy + 1, seed) + (hash(ix + 1, iy + 1, seed) - hash(ix, iy + 1, seed)) * fx;
  return a + (b - a) * fy;
}

void put(unsigned char* px, rgbf c) {
  px[0] = (unsigned char)std::lround(std::min(std::max(c.r, 0.0f), 1.0f) * 255);
  px[1] = (unsigned char)std::lround(std::min(std::max(c.g, 0.0f), 1.0f) * 255);
  px[2] = (unsigned char)std::lround(std::min(std::max(c.b, 0.0f), 1.0f) * 255);
}

float height_at(const unsigned char* h, float x, float y) {
  x = std::min(std::max(x, 0.0f), 126.999f);
  y = std::min(std::max(y, 0.0f), 126.999f);
  int ix = (int)x, iy = (int)y;
  float fx = x - ix, fy = y - iy;
  auto at = [&](int a, int b) { return (float)h[b * 128 + a]; };
  float top = at(ix, iy) + (at(ix + 1, iy) - at(ix, iy)) * fx;
  float bottom = at(ix, iy + 1) + (at(ix + 1, iy + 1) - at(ix, iy + 1)) * fx;
  return top + (bottom - top) * fy;
}

// Building materials: a base painting per material in local tile coordinates.
rgbf bricks(float s, float t, rgbf base, float rows) {
  float row = t * rows, col = s * rows * 0.5f + (((int)row) % 2) * 0.5f;
  bool mortar = row - std::floor(row) < 0.12f || col - std::floor(col) < 0.06f;
  return mortar ? scale(base, 0.78f) : scale(base, 0.92f + 0.12f * hash((int)col, (int)row, 3));
}

rgbf material(model_texture tex, int m, float s, float t) {
  const rgbf mud{0.8f, 0.62f, 0.42f}, straw{0.88f, 0.8f, 0.5f}, clay{0.82f, 0.45f, 0.25f};
  const rgbf wood{0.5f, 0.33f, 0.2f}, soot{0.13f, 0.1f, 0.08f};
  const rgbf lime{0.93f, 0.9f, 0.82f}, blue{0.15f, 0.3f, 0.65f}, gold{0.9f, 0.72f, 0.25f};
  const rgbf red{0.75f, 0.18f, 0.14f}, cream{0.93f, 0.88f, 0.75f};
  float grain = 0.94f + 0.08f * noise(s * 40, t * 40, m);
  switch (tex) {
    case TEX_BAKERY:
      if (m == BAKERY_BRICK) return bricks(s, t, mud, 10);
      if (m == BAKERY_ROOF) return scale(straw, 0.85f + 0.2f * noise(s * 60, t * 4, 5));
      if (m == BAKERY_CLAY) return scale(mix(clay, soot, (t - 0.6f) * 0.8f), grain);
      if (m == BAKERY_WOOD) return scale(wood, 0.8f + 0.25f * noise(s * 3, t * 50, 6));
      return soot;
    case TEX_HUT:
      if (m == TENT_CANVAS) return scale(mix(mud, straw, noise(s * 30, t * 8, 7)), grain);
      if (m == TENT_DOOR) return soot;
      return wood;
    case TEX_TENT:
      if (m == TENT_CANVAS)
        return scale(((int)(t * 9)) % 2 ? red : cream, grain);  // stripes across the roof
      if (m == TENT_DOOR) return mix(soot, red, 0.25f);
      return wood;
    case TEX_TAXC:
      if (m == TAXC_STONE) return bricks(s, t, lime, 6);
      if (m == TAXC_FRIEZE) return std::fabs(t - 0.5f) < 0.2f ? gold : scale(blue, grain);
      if (m == TAXC_ROOF) return scale(lime, 0.85f * grain);
      if (m == TAXC_DOOR) return soot;
      // Fluted columns with a gold capital.
      return t > 0.8f ? gold : scale(lime, 0.85f + 0.15f * std::fabs(std::sin(s * PI * 16)));
    case TEX_CARRIER:
      break;
  }
  return {1, 0, 1};
}

void paint_building(model_texture tex, int w, int h, unsigned char* rgb) {
  const float shade[3] = {1.0f, 0.86f, 0.62f};
  for (int row = 0; row < h; row++)
    for (int col = 0; col < w; col++) {
      float u = (col + 0.5f) / w * 4, v = (1 - (row + 0.5f) / h) * 4;
      int tile = (int)u + 4 * (int)v;
      rgbf c{0.5f, 0.5f, 0.5f};
      if (tile < BUILDING_MATERIALS * 3)
        c = scale(material(tex, tile / 3, u - (int)u, v - (int)v), shade[tile % 3]);
      put(rgb + (row * w + col) * 3, c);
    }
}

// The carrier map: skin, a face whose middle (u 0.75) looks forward, a black
// wig, a white linen kilt, a broad collar over the chest, leather sandals.
rgbf carrier_texel(float u, float v) {
  const rgbf skin{0.72f, 0.47f, 0.3f}, hair{0.08f, 0.06f, 0.05f}, linen{0.95f, 0.93f, 0.86f};
  const rgbf leather{0.45f, 0.28f, 0.15f}, blue{0.2f, 0.45f, 0.7f}, gold{0.9f, 0.72f, 0.25f};
  const rgbf white{1, 1, 1}, lip{0.6f, 0.3f, 0.25f};
  float grain = 0.95f + 0.06f * noise(u * 80, v * 80, 9);
  if (u >= 0.5f && v >= 0.5f) {  // the face, around the head: s across, t up
    float s = (u - 0.5f) * 2, t = (v - 0.5f) * 2;
    float fs = std::fabs(s - 0.5f);          // 0 at the front
    if (t > 0.7f || fs > 0.3f) return hair;  // wig over the crown and the back
    for (float ex : {0.44f, 0.56f})
      if (std::fabs(s - ex) < 0.03f && std::fabs(t - 0.55f) < 0.035f)
        return std::fabs(s - ex) < 0.014f ? hair : white;
    if (std::fabs(s - 0.5f) < 0.07f && std::fabs(t - 0.62f) < 0.012f) return hair;  // brows
    if (fs < 0.04f && std::fabs(t - 0.34f) < 0.02f) return lip;
    if (fs < 0.015f && t > 0.4f && t < 0.52f) return scale(skin, 0.8f);  // nose ridge
    return scale(skin, grain);
  }
  if (u < 0.25f && v >= 0.5f && v < 0.75f) return hair;
  if (u >= 0.25f && u < 0.5f && v >= 0.5f && v < 0.75f) {  // torso: collar bands on skin
    float t = (v - 0.5f) * 4;
    if (t > 0.72f && t < 0.95f) return ((int)(t * 40)) % 2 ? blue : gold;
    return scale(skin, grain);
  }
  if (u >= 0.5f && v < 0.25f) {  // kilt with a belt at the top
    float t = v * 4;
    if (t > 0.85f) return gold;
    return scale(linen, 0.9f + 0.1f * std::fabs(std::sin(u * PI * 60)));
  }
  if (u >= 0.5f && u < 0.75f && v >= 0.25f && v < 0.5f) return scale(leather, grain);
  return scale(skin, grain);
}

}  // namespace

void models_paint(model_texture which, int w, int h, unsigned char* rgb) {
  if (which != TEX_CARRIER) return paint_building(which, w, h, rgb);
  for (int row = 0; row < h; row++)
    for (int col = 0; col < w; col++)
      put(rgb + (row * w + col) * 3, carrier_texel((col + 0.5f) / w, 1 - (row + 0.5f) / h));
}

// The whole map in each terrain texture (rows are cells y, columns cells x),
// with the relief shaded in since the ground is drawn unlit. Each texture adds
// the detail of its own ground: fields and reeds, dune ripples, waves.
void models_paint_terrain(const unsigned char* hm, int which, int w, int h, unsigned char* rgb) {
  const rgbf water{0.16f, 0.38f, 0.6f}, shore{0.55f, 0.5f, 0.33f}, grass{0.36f, 0.55f, 0.2f};
  const rgbf dry{0.62f, 0.6f, 0.32f}, rock{0.55f, 0.42f, 0.3f}, sand{0.86f, 0.72f, 0.45f};
  for (int row = 0; row < h; row++)
    for (int col = 0; col < w; col++) {
      float x = (col + 0.5f) * 128 / w - 0.5f, y = (row + 0.5f) * 128 / h - 0.5f;
      float z = height_at(hm, x, y);
      float dx = height_at(hm, x + 0.5f, y) - height_at(hm, x - 0.5f, y);
      float dy = height_at(hm, x, y + 0.5f) - height_at(hm, x, y - 0.5f);
      float slope = std::sqrt(dx * dx + dy * dy);
      float n1 = noise(x * 0.6f, y * 0.6f, 1), n2 = noise(x * 3, y * 3, 2);
      rgbf c;
      if (z <= 3.5f) {
        c = mix(water, scale(water, 1.25f), n1);
        if (which == 2)
          c = mix(c, {0.6f, 0.75f, 0.85f}, std::pow(noise(x * 4, y * 1.2f, 3), 6) * 2);
      } else if (z < 9) {
        c = shore;
      } else if (z < 120) {
        c = mix(grass, dry, (z - 30) / 60 + 0.3f * (n1 - 0.5f));
        if (which == 0) c = scale(c, 0.88f + 0.2f * n2);
      } else {
        c = mix(sand, scale(sand, 0.9f), n1);
        if (which == 1) c = scale(c, 0.93f + 0.07f * std::sin(x * 5 + y * 2 + 3 * n1));
      }
      c = mix(c, rock, (slope - 4) / 6);
      // Light from the north-west, as the models' baked shading.
      float light = 1 + 0.06f * (-dx * 0.45f - dy * 0.3f) * 0.6f;
      put(rgb + (row * w + col) * 3, scale(c, std::min(std::max(light, 0.6f), 1.25f)));
    }
}
