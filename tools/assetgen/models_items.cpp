// The coloured item models: sandstone block, build mark, food, grain,
// buckets, plates, sickle, the farm plant and the build cursors.
#include <algorithm>
#include <cmath>

#include "models_gen.h"

namespace {

const float PI = 3.14159265f;

part coloured(part p, const float rgb[3], int lines, bool shade = true) {
  part_colour(&p, rgb);
  if (shade) part_shade(&p);
  part_outline(&p, lines);
  return p;
}

// A flat quad strip ring between two squares, in quads of `per_side` each.
part square_frame(float inner, float outer, float z, int per_side) {
  part out;
  for (int side = 0; side < 4; side++) {
    // Corners of this side counter-clockwise seen from above.
    float a = PI / 2 * side;
    float c = std::cos(a), s = std::sin(a);
    auto rot = [&](float x, float y) { return vec3{x * c - y * s, x * s + y * c, z}; };
    for (int q = 0; q < per_side; q++) {
      float t0 = -1 + 2.0f * q / per_side, t1 = -1 + 2.0f * (q + 1) / per_side;
      vec3 o0 = rot(outer, t0 * outer), o1 = rot(outer, t1 * outer);
      vec3 i0 = rot(inner, t0 * inner), i1 = rot(inner, t1 * inner);
      vec3 n{0, 0, 1};
      for (vec3 p : {i0, o0, o1, i0, o1, i1}) {
        vtx v{};
        v.p = p;
        v.n = n;
        out.tris.push_back(v);
      }
    }
  }
  return out;
}

// The outline of a flat rectangle at height z.
void square_lines(part* p, float x0, float y0, float x1, float y1, float z) {
  const vec3 c[4] = {{x0, y0, z}, {x1, y0, z}, {x1, y1, z}, {x0, y1, z}};
  for (int i = 0; i < 4; i++) {
    p->lines.push_back(c[i]);
    p->lines.push_back(c[(i + 1) % 4]);
  }
}

part loaf(vec3 at) {
  frame f;
  f.o = at;
  f.ax = {0, 0, 1};
  f.ay = {0, 1, 0};
  f.az = {-1, 0, 0};  // along the model's x, right-handed
  const float crust[3] = {0.78f, 0.5f, 0.2f};
  part p = mesh_lathe(f, {{0, -0.085f}, {0.055f, -0.06f}, {0.055f, 0.06f}, {0, 0.085f}}, 10);
  // Flatten the underside so the loaf sits.
  for (vtx& v : p.tris) v.p.z = std::max(v.p.z, at.z - 0.035f);
  part_renormal(&p);
  return coloured(p, crust, 36);
}

void add_loaves(model* m, float z) {
  for (int i = 0; i < 3; i++) m->parts.push_back(loaf({0, -0.13f + 0.13f * i, z + 0.05f}));
}

void plate_dish(model* m) {
  const float clay[3] = {0.72f, 0.42f, 0.28f};
  m->parts.push_back(
      coloured(mesh_lathe(frame{}, {{0, 0}, {0.2f, 0}, {0.24f, 0.045f}, {0, 0.03f}}, 7), clay, 24));
}

// Bucket body: outer wall, rim and inner wall down to the bottom (empty) or to
// the water (full); then the handle strip over the top.
void bucket(model* m, bool full, int handle_segments) {
  const float wood[3] = {0.55f, 0.36f, 0.2f}, water[3] = {0.25f, 0.5f, 0.85f};
  const float inner_z = full ? 0.2f : 0.03f;
  std::vector<profile_pt> pr = {{0, 0},         {0.1f, 0},         {0.13f, 0.24f},
                                {0.11f, 0.24f}, {0.085f, inner_z}, {0, inner_z}};
  part body = mesh_lathe(frame{}, pr, 12);
  part_colour(&body, wood);
  if (full)
    for (vtx& v : body.tris)
      if (v.p.z == inner_z && v.n.z > 0.99f) std::copy(water, water + 3, v.c);
  part_shade(&body);
  part_outline(&body, full ? 52 : 64);
  m->parts.push_back(body);
  std::vector<vec3> path;
  std::vector<float> radii;
  for (int i = 0; i <= handle_segments; i++) {
    float a = PI * i / handle_segments;
    path.push_back({0, 0.12f * std::cos(a), 0.24f + 0.14f * std::sin(a)});
    radii.push_back(0.012f);
  }
  const float iron[3] = {0.3f, 0.3f, 0.32f};
  m->parts.push_back(coloured(mesh_tube(path, radii, 2, {1, 0, 0}), iron, full ? 18 : 24, false));
}

}  // namespace

void models_items(std::vector<model>* out) {
  model stone{"stone", 9, {}};
  const float sandstone[3] = {1.0f, 1.0f, 0.85f};
  stone.parts.push_back(
      coloured(mesh_box(frame_at(0, 0, 0.15f), 0.15f, 0.15f, 0.15f), sandstone, 12, false));
  out->push_back(stone);

  model mark{"buildmark", 9, {}};
  const float mark_colour[3] = {0.19f, 0.08f, 0.07f};
  mark.parts.push_back(coloured(square_frame(0.35f, 0.45f, 0.025f, 2), mark_colour, 0, false));
  out->push_back(mark);

  model food{"food", 9, {}};
  add_loaves(&food, 0);
  out->push_back(food);

  model grain{"grain", 9, {}};
  const float sack[3] = {0.76f, 0.64f, 0.42f}, ears[3] = {0.93f, 0.78f, 0.3f};
  grain.parts.push_back(coloured(
      mesh_lathe(frame{}, {{0, 0}, {0.11f, 0.02f}, {0.1f, 0.2f}, {0, 0.23f}}, 8), sack, 22));
  grain.parts.push_back(coloured(mesh_box(frame_at(0, 0, 0.25f), 0.04f, 0.04f, 0.035f), ears, 8));
  out->push_back(grain);

  model bucke{"bucke", 9, {}}, buckf{"buckf", 9, {}};
  bucket(&bucke, false, 10);
  bucket(&buckf, true, 7);
  out->push_back(bucke);
  out->push_back(buckf);

  model platee{"platee", 9, {}}, platef{"platef", 9, {}};
  plate_dish(&platee);
  plate_dish(&platef);
  add_loaves(&platef, 0.03f);
  out->push_back(platee);
  out->push_back(platef);

  // Held in the carrier's right hand (-y), the blade hooking forward.
  model sickle{"sickle", 9, {}};
  const float handle[3] = {0.5f, 0.32f, 0.17f}, bronze[3] = {0.8f, 0.6f, 0.3f};
  sickle.parts.push_back(
      coloured(mesh_box(frame_at(0.06f, -0.23f, 0.5f), 0.02f, 0.02f, 0.07f), handle, 10));
  std::vector<vec3> blade;
  std::vector<float> radii;
  for (int i = 0; i <= 8; i++) {
    float a = PI * 0.95f * i / 8;
    blade.push_back({0.06f + 0.13f * std::sin(a), -0.23f, 0.57f + 0.13f * (1 - std::cos(a))});
    radii.push_back(i == 8 ? 0 : 0.022f * (1 - 0.08f * i));
  }
  sickle.parts.push_back(coloured(mesh_tube(blade, radii, 4, {0, 1, 0}), bronze, 33));
  out->push_back(sickle);
}

// A farm plant on its cell: a furrowed soil patch and a tuft of wheat whose
// height the farm scales from 1 (sprout) to 7 (ripe), so it is modelled flat.
void models_farm(std::vector<model>* out) {
  model farm{"farm", 9, {}};
  const float soil[3] = {0.42f, 0.3f, 0.17f}, ridge[3] = {0.5f, 0.37f, 0.22f};
  const float stalk[3] = {0.45f, 0.62f, 0.22f}, ear[3] = {0.9f, 0.76f, 0.3f};
  farm.parts.push_back(coloured(mesh_box(frame_at(0, 0, 0.002f), 0.46f, 0.46f, 0.002f), soil, 0));
  square_lines(&farm.parts[0], -0.46f, -0.46f, 0.46f, 0.46f, 0.004f);
  for (int r = 0; r < 3; r++)
    farm.parts.push_back(
        coloured(mesh_box(frame_at(0, -0.3f + 0.3f * r, 0.005f), 0.44f, 0.05f, 0.003f), ridge, 0));
  for (int k = 0; k < 5; k++) {
    float a = 2 * PI * k / 5 + 0.4f, x = 0.16f * std::cos(a), y = 0.16f * std::sin(a);
    std::vector<vec3> path = {{x, y, 0.02f}, {x * 1.2f, y * 1.2f, 0.04f}};
    farm.parts.push_back(coloured(mesh_tube(path, {0.018f, 0.012f}, 3, {0, 0, 1}), stalk, 3));
    std::vector<vec3> head = {
        {x * 1.2f, y * 1.2f, 0.04f}, {x * 1.25f, y * 1.25f, 0.052f}, {x * 1.3f, y * 1.3f, 0.062f}};
    farm.parts.push_back(coloured(mesh_tube(head, {0.02f, 0.028f, 0}, 4, {0, 0, 1}), ear, 4));
  }
  out->push_back(farm);
}

// Build cursors: a tile over the cell (the controller scales x and y by 0.5,
// so the models span 0..2), green where placement is allowed, red with a
// cross where it is refused; the area cursor spans 0..1 unscaled.
void models_cursors(std::vector<model>* out) {
  const float ok[3] = {0.3f, 0.85f, 0.35f}, refused[3] = {0.9f, 0.2f, 0.15f};
  const float area[3] = {0.95f, 0.75f, 0.25f};
  model pos{"cursormdpos", 9, {}}, neg{"cursormdneg", 9, {}}, sel{"cursorarea", 9, {}};
  pos.parts.push_back(coloured(mesh_box(frame_at(1, 1, 0.04f), 0.92f, 0.92f, 0.02f), ok, 0, false));
  neg.parts.push_back(
      coloured(mesh_box(frame_at(1, 1, 0.04f), 0.92f, 0.92f, 0.02f), refused, 0, false));
  square_lines(&pos.parts[0], 0.08f, 0.08f, 1.92f, 1.92f, 0.065f);
  square_lines(&neg.parts[0], 0.08f, 0.08f, 1.92f, 1.92f, 0.065f);
  for (vec3 v : {vec3{0.2f, 0.2f, 0.07f}, vec3{1.8f, 1.8f, 0.07f}, vec3{0.2f, 1.8f, 0.07f},
                 vec3{1.8f, 0.2f, 0.07f}})
    neg.parts[0].lines.push_back(v);
  sel.parts.push_back(
      coloured(mesh_box(frame_at(0.5f, 0.5f, 0.03f), 0.47f, 0.47f, 0.015f), area, 0, false));
  square_lines(&sel.parts[0], 0.03f, 0.03f, 0.97f, 0.97f, 0.05f);
  out->push_back(pos);
  out->push_back(neg);
  out->push_back(sel);
}
