// The bakery (textured and coloured), the tent of a hut and the tax office.
// Each footprint is 3 x 3 cells about the model's origin, the centre cell's
// middle. The textured programs are unlit, so every face takes its texture
// from a tile of its material painted for its side: top, sunlit or shaded.
#include "models_buildings.h"

#include <cmath>

#include "models_gen.h"

namespace {

struct piece {
  part p;
  int material;
};

int shade_of(vec3 n) {
  if (n.z > 0.6f) return 0;
  return n.x * 0.45f + n.y * 0.3f > 0 ? 1 : 2;
}

model textured(const char* name, const std::vector<piece>& pieces) {
  model m{name, 8, {}};
  const float inset = 3.0f / 256;
  for (const piece& pc : pieces) {
    part p = pc.p;
    for (size_t i = 0; i < p.tris.size(); i++) {
      int tile = pc.material * 3 + shade_of(p.tris[i - i % 3].n);
      float u0 = (tile % 4) * 0.25f, v0 = (tile / 4) * 0.25f;
      p.tris[i].c[0] = u0 + inset + p.s[i] * (0.25f - 2 * inset);
      p.tris[i].c[1] = v0 + inset + p.t[i] * (0.25f - 2 * inset);
    }
    m.parts.push_back(p);
  }
  return m;
}

model coloured(const char* name, const std::vector<piece>& pieces, const float rgb[][3]) {
  model m{name, 9, {}};
  for (const piece& pc : pieces) {
    part p = pc.p;
    part_colour(&p, rgb[pc.material]);
    part_shade(&p);
    m.parts.push_back(p);
  }
  return m;
}

std::vector<piece> bakery() {
  return {
      {mesh_box(frame_at(0, -0.95f, 0.45f), 1.4f, 0.5f, 0.45f), BAKERY_BRICK},
      {mesh_box(frame_at(0, -0.95f, 0.94f), 1.48f, 0.55f, 0.05f), BAKERY_ROOF},
      {mesh_box(frame_at(-0.8f, -1.1f, 1.15f), 0.13f, 0.13f, 0.28f), BAKERY_BRICK},
      {mesh_box(frame_at(-0.3f, -0.44f, 0.3f), 0.22f, 0.02f, 0.3f), BAKERY_WOOD},
      {mesh_lathe(frame_at(0.85f, 0.05f, 0),
                  {{0, 0}, {0.5f, 0}, {0.48f, 0.3f}, {0.3f, 0.62f}, {0, 0.72f}}, 10),
       BAKERY_CLAY},
      {mesh_box(frame_at(0.85f, 0.53f, 0.16f), 0.16f, 0.03f, 0.14f), BAKERY_SOOT},
  };
}

std::vector<piece> tent() {
  std::vector<piece> out = {
      {mesh_tube({{-1.4f, -0.5f, 0.5f}, {1.4f, -0.5f, 0.5f}}, {1.0f, 1.0f}, 3, {0, 0, 1}),
       TENT_CANVAS},
      {mesh_box(frame_at(0, 0.12f, 0.3f), 0.28f, 0.04f, 0.3f), TENT_DOOR},
  };
  for (float x : {-1.46f, 1.46f})
    out.push_back({mesh_box(frame_at(x, -0.5f, 0.85f), 0.035f, 0.035f, 0.85f), TENT_POLE});
  return out;
}

std::vector<piece> tax_office() {
  std::vector<piece> out = {
      {mesh_box(frame_at(0, 0, 0.08f), 1.45f, 1.45f, 0.08f), TAXC_STONE},
      {mesh_box(frame_at(0, 0.25f, 0.64f), 1.3f, 1.05f, 0.48f), TAXC_STONE},
      {mesh_box(frame_at(0, -0.05f, 1.22f), 1.42f, 1.4f, 0.1f), TAXC_FRIEZE},
      {mesh_box(frame_at(0, -0.05f, 1.36f), 1.3f, 1.28f, 0.04f), TAXC_ROOF},
      {mesh_box(frame_at(0, -0.82f, 0.5f), 0.3f, 0.02f, 0.34f), TAXC_DOOR},
  };
  for (float x : {-1.1f, -0.37f, 0.37f, 1.1f})
    out.push_back({mesh_lathe(frame_at(x, -1.18f, 0.16f),
                              {{0, 0}, {0.11f, 0}, {0.09f, 0.85f}, {0.13f, 0.96f}, {0, 0.96f}}, 8),
                   TAXC_COLUMN});
  return out;
}

}  // namespace

void models_buildings(std::vector<model>* out) {
  const float bakery_colours[][3] = {{0.78f, 0.6f, 0.4f},
                                     {0.85f, 0.78f, 0.5f},
                                     {0.8f, 0.45f, 0.25f},
                                     {0.5f, 0.33f, 0.2f},
                                     {0.15f, 0.12f, 0.1f}};
  out->push_back(coloured("bakery", bakery(), bakery_colours));
  out->push_back(textured("mappedbakery", bakery()));
  out->push_back(textured("mappedtent", tent()));
  out->push_back(textured("mappedtaxcollector", tax_office()));
}
