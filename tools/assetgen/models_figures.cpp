// The carrier (textured, with limb weights for the walk) and the two cats.
#include <cmath>

#include "models_gen.h"

namespace {

// Atlas rectangles of the carrier map, in texture units (u right, v up).
struct rect {
  float u0, v0, u1, v1;
};
const rect SKIN = {0.0f, 0.0f, 0.5f, 0.5f}, FACE = {0.5f, 0.5f, 1.0f, 1.0f};
const rect HAIR = {0.0f, 0.5f, 0.25f, 0.75f}, KILT = {0.5f, 0.0f, 1.0f, 0.25f};
const rect SANDAL = {0.5f, 0.25f, 0.75f, 0.5f}, COLLAR = {0.25f, 0.5f, 0.5f, 0.75f};

// Maps each vertex's surface parameters into the rectangle, a texel inside.
void map_uv(part* p, rect r) {
  const float inset = 2.0f / 256;
  for (size_t i = 0; i < p->tris.size(); i++) {
    p->tris[i].c[0] = r.u0 + inset + p->s[i] * (r.u1 - r.u0 - 2 * inset);
    p->tris[i].c[1] = r.v0 + inset + p->t[i] * (r.v1 - r.v0 - 2 * inset);
  }
}

frame upright(float sx, float sy) {
  frame f;
  f.ax = {sx, 0, 0};
  f.ay = {0, sy, 0};
  return f;
}

// Legs swing with limb weight 0 (its sign the side), arms against them with
// weight 1; both grow from 0 at the hip or shoulder to their full value at
// the foot or hand.
const float HIP_Z = 0.62f, SHOULDER_Z = 0.97f;
void leg_weights(vec3 p, float* l) {
  l[0] = (p.y > 0 ? 1 : -1) * 1.6f * std::fmin(std::fmax((HIP_Z - p.z) / HIP_Z, 0.0f), 1.0f);
  l[1] = 0;
}
void arm_weights(vec3 p, float* l) {
  l[0] = 0;
  l[1] = (p.y > 0 ? 1 : -1) * 2.4f * std::fmax((SHOULDER_Z - p.z) / 0.47f, 0.0f);
}
void no_weights(vec3, float* l) { l[0] = l[1] = 0; }

part textured(part p, rect r, void (*weights)(vec3, float*)) {
  map_uv(&p, r);
  part_limb(&p, weights);
  return p;
}

model carrier() {
  model m{"mappedcarrier", 7, {}};
  m.parts.push_back(textured(
      mesh_lathe(frame{}, {{0, 1.05f}, {0.075f, 1.07f}, {0.1f, 1.14f}, {0.085f, 1.21f}, {0, 1.24f}},
                 10),
      FACE, no_weights));
  m.parts.push_back(textured(mesh_lathe(frame{}, {{0, 1.12f}, {0.106f, 1.175f}, {0, 1.265f}}, 7),
                             HAIR, no_weights));
  m.parts.push_back(
      textured(mesh_lathe(frame{}, {{0, 0.99f}, {0.05f, 0.99f}, {0.05f, 1.08f}, {0, 1.08f}}, 6),
               SKIN, no_weights));
  m.parts.push_back(textured(
      mesh_lathe(upright(0.7f, 1),
                 {{0, 0.66f}, {0.14f, 0.69f}, {0.17f, 0.9f}, {0.2f, 0.98f}, {0, 1.03f}}, 10),
      COLLAR, no_weights));
  m.parts.push_back(textured(
      mesh_lathe(upright(0.8f, 1), {{0, 0.4f}, {0.2f, 0.4f}, {0.155f, 0.72f}, {0, 0.72f}}, 10),
      KILT, no_weights));
  for (float side : {1.0f, -1.0f}) {
    m.parts.push_back(textured(mesh_tube({{0.02f, side * 0.21f, SHOULDER_Z},
                                          {0.03f, side * 0.245f, 0.76f},
                                          {0.06f, side * 0.235f, 0.56f}},
                                         {0.05f, 0.042f, 0.035f}, 6, {1, 0, 0}),
                               SKIN, arm_weights));
    m.parts.push_back(
        textured(mesh_octahedron({0.065f, side * 0.235f, 0.51f}, 0.045f), SKIN, arm_weights));
    m.parts.push_back(textured(
        mesh_tube(
            {{0, side * 0.09f, HIP_Z}, {0.015f, side * 0.095f, 0.34f}, {0, side * 0.09f, 0.07f}},
            {0.068f, 0.05f, 0.042f}, 6, {1, 0, 0}),
        SKIN, leg_weights));
    m.parts.push_back(
        textured(mesh_box(frame_at(0.045f, side * 0.09f, 0.03f), 0.09f, 0.045f, 0.03f), SANDAL,
                 leg_weights));
  }
  return m;
}

// Cats face +x. The cat program bends everything below a third of a unit
// (the legs) by quadrant, so the body stays above that height when standing.
model cat(bool sitting) {
  model m{sitting ? "catsit" : "catstand", 9, {}};
  const float fur[3] = {0.86f, 0.55f, 0.25f}, dark[3] = {0.55f, 0.32f, 0.14f};
  const float nose[3] = {0.9f, 0.6f, 0.6f};
  auto add = [&](part p, const float* c) {
    part_colour(&p, c);
    part_shade(&p);
    m.parts.push_back(p);
  };
  frame body;
  body.ax = {0, 0, 1};
  body.az = {-1, 0, 0};  // the lathe's axis along the cat
  if (sitting) {
    // Upright body, haunches on the ground, head above the chest.
    body = upright(1.0f, 0.8f);
    body.o = {-0.06f, 0, 0};
    add(mesh_lathe(body, {{0, 0}, {0.13f, 0.03f}, {0.11f, 0.2f}, {0.07f, 0.33f}, {0, 0.36f}}, 8),
        fur);
    add(mesh_lathe(frame_at(0.03f, 0, 0.33f), {{0, 0}, {0.075f, 0.03f}, {0.07f, 0.1f}, {0, 0.13f}},
                   8),
        fur);
    for (float s : {1.0f, -1.0f}) {
      add(mesh_tube({{0.06f, s * 0.05f, 0.2f}, {0.07f, s * 0.05f, 0.01f}}, {0.022f, 0.02f}, 4,
                    {1, 0, 0}),
          fur);
      add(mesh_octahedron({0.04f, s * 0.04f, 0.46f}, 0.03f), dark);
    }
    add(mesh_tube({{-0.16f, 0, 0.02f}, {-0.14f, 0.12f, 0.02f}, {0.0f, 0.17f, 0.02f}},
                  {0.018f, 0.016f, 0}, 4, {0, 0, 1}),
        dark);
    add(mesh_octahedron({0.1f, 0, 0.4f}, 0.012f), nose);
  } else {
    body.o = {0, 0, 0.42f};
    body.ay = {0, 0.8f, 0};
    body.ax = {0, 0, 0.8f};
    add(mesh_lathe(body, {{0, -0.24f}, {0.07f, -0.2f}, {0.08f, 0.0f}, {0.07f, 0.18f}, {0, 0.22f}},
                   8),
        fur);
    add(mesh_lathe(frame_at(0.25f, 0, 0.47f),
                   {{0, -0.06f}, {0.07f, -0.03f}, {0.065f, 0.05f}, {0, 0.08f}}, 8),
        fur);
    for (float s : {1.0f, -1.0f}) {
      add(mesh_octahedron({0.25f, s * 0.04f, 0.56f}, 0.03f), dark);
      for (float x : {0.15f, -0.15f})
        add(mesh_tube({{x, s * 0.045f, 0.43f}, {x, s * 0.045f, 0.0f}}, {0.024f, 0.02f}, 4,
                      {1, 0, 0}),
            x > 0 ? fur : dark);
    }
    add(mesh_tube({{-0.22f, 0, 0.45f}, {-0.3f, 0, 0.55f}, {-0.32f, 0, 0.68f}}, {0.018f, 0.016f, 0},
                  4, {0, 1, 0}),
        dark);
    add(mesh_octahedron({0.32f, 0, 0.47f}, 0.012f), nose);
  }
  return m;
}

}  // namespace

void models_figures(std::vector<model>* out) {
  out->push_back(carrier());
  out->push_back(cat(true));
  out->push_back(cat(false));
}
