#include "models_mesh.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

vec3 operator+(vec3 a, vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
vec3 operator-(vec3 a, vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
vec3 operator*(vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
vec3 cross(vec3 a, vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(vec3 a, vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
vec3 normalise(vec3 a) {
  float l = std::sqrt(dot(a, a));
  return l > 0 ? a * (1 / l) : vec3{0, 0, 1};
}

frame frame_at(float x, float y, float z) {
  frame f;
  f.o = {x, y, z};
  return f;
}

namespace {
const float PI = 3.14159265f;

struct surf_pt {
  vec3 p;
  float s, t;
};

void add_tri(part* out, surf_pt a, surf_pt b, surf_pt c) {
  vec3 n = normalise(cross(b.p - a.p, c.p - a.p));
  for (const surf_pt& q : {a, b, c}) {
    vtx v{};
    v.p = q.p;
    v.n = n;
    out->tris.push_back(v);
    out->s.push_back(q.s);
    out->t.push_back(q.t);
  }
}

// Quad a b c d counter-clockwise seen from outside.
void add_quad(part* out, surf_pt a, surf_pt b, surf_pt c, surf_pt d) {
  add_tri(out, a, b, c);
  add_tri(out, a, c, d);
}
}  // namespace

part mesh_lathe(const frame& f, const std::vector<profile_pt>& pr, int n) {
  part out;
  const int k = (int)pr.size();
  auto at = [&](int i, int j) {
    // j = 0 is the back (-x), n / 2 the front, so a texture's middle faces +x.
    float a = PI + 2 * PI * j / n;
    return surf_pt{f.at(pr[i].r * std::cos(a), pr[i].r * std::sin(a), pr[i].z), (float)j / n,
                   (float)i / (k - 1)};
  };
  for (int i = 0; i + 1 < k; i++)
    for (int j = 0; j < n; j++) {
      surf_pt a = at(i, j), b = at(i, j + 1), c = at(i + 1, j + 1), d = at(i + 1, j);
      if (pr[i].r == 0)
        add_tri(&out, a, c, d);
      else if (pr[i + 1].r == 0)
        add_tri(&out, a, b, c);
      else
        add_quad(&out, a, b, c, d);
    }
  return out;
}

part mesh_box(const frame& f, float hx, float hy, float hz) {
  part out;
  // Each face: its outward axis a and two in-face axes u, w with u x w = a.
  const float half[3] = {hx, hy, hz};
  for (int a = 0; a < 3; a++)
    for (int sgn = -1; sgn <= 1; sgn += 2) {
      int u = (a + 1) % 3, w = (a + 2) % 3;
      if (sgn < 0) std::swap(u, w);
      auto corner = [&](float su, float sw) {
        float l[3];
        l[a] = sgn * half[a];
        l[u] = su * half[u];
        l[w] = sw * half[w];
        return surf_pt{f.at(l[0], l[1], l[2]), (su + 1) / 2, (sw + 1) / 2};
      };
      add_quad(&out, corner(-1, -1), corner(1, -1), corner(1, 1), corner(-1, 1));
    }
  return out;
}

part mesh_tube(const std::vector<vec3>& path, const std::vector<float>& radii, int m, vec3 side) {
  part out;
  const int k = (int)path.size();
  std::vector<std::vector<surf_pt>> ring(k);
  for (int i = 0; i < k; i++) {
    vec3 t = normalise(path[std::min(i + 1, k - 1)] - path[std::max(i - 1, 0)]);
    vec3 nrm = normalise(side - t * dot(side, t));
    vec3 bin = cross(t, nrm);
    for (int j = 0; j <= m; j++) {
      float a = 2 * PI * j / m;
      vec3 p = path[i] + (nrm * std::cos(a) + bin * std::sin(a)) * radii[i];
      ring[i].push_back({p, (float)j / m, (float)i / (k - 1)});
    }
  }
  for (int i = 0; i + 1 < k; i++)
    for (int j = 0; j < m; j++) {
      if (radii[i + 1] == 0)
        add_tri(&out, ring[i][j], ring[i][j + 1], ring[i + 1][j]);
      else
        add_quad(&out, ring[i][j], ring[i][j + 1], ring[i + 1][j + 1], ring[i + 1][j]);
    }
  for (int j = 1; j + 1 < m; j++) {
    add_tri(&out, ring[0][0], ring[0][j + 1], ring[0][j]);
    if (radii[k - 1] != 0) add_tri(&out, ring[k - 1][0], ring[k - 1][j], ring[k - 1][j + 1]);
  }
  return out;
}

part mesh_octahedron(vec3 c, float r) {
  part out;
  const vec3 top = c + vec3{0, 0, r}, bottom = c - vec3{0, 0, r};
  const vec3 ring[4] = {c + vec3{r, 0, 0}, c + vec3{0, r, 0}, c - vec3{r, 0, 0}, c - vec3{0, r, 0}};
  for (int j = 0; j < 4; j++) {
    surf_pt a{ring[j], j / 4.0f, 0.5f}, b{ring[(j + 1) % 4], (j + 1) / 4.0f, 0.5f};
    add_tri(&out, a, b, {top, j / 4.0f, 1});
    add_tri(&out, b, a, {bottom, j / 4.0f, 0});
  }
  return out;
}

void part_outline(part* p, int n) {
  // Edges keyed by their end points in a fixed order; positions are exact
  // copies between neighbouring triangles.
  typedef std::tuple<float, float, float> key;
  std::map<std::pair<key, key>, std::vector<int>> edges;
  std::vector<std::pair<key, key>> order;
  auto k = [](vec3 v) { return key{v.x, v.y, v.z}; };
  for (size_t t = 0; t < p->tris.size() / 3; t++)
    for (int e = 0; e < 3; e++) {
      key a = k(p->tris[t * 3 + e].p), b = k(p->tris[t * 3 + (e + 1) % 3].p);
      if (b < a) std::swap(a, b);
      if (a == b) continue;
      auto& faces = edges[{a, b}];
      if (faces.empty()) order.push_back({a, b});
      faces.push_back((int)t);
    }
  std::vector<std::pair<float, int>> crease;
  for (size_t i = 0; i < order.size(); i++) {
    const auto& faces = edges[order[i]];
    float c = faces.size() == 2 ? dot(p->tris[faces[0] * 3].n, p->tris[faces[1] * 3].n) : -2;
    crease.push_back({c, (int)i});
  }
  std::stable_sort(crease.begin(), crease.end(),
                   [](const std::pair<float, int>& a, const std::pair<float, int>& b) {
                     return a.first < b.first - 1e-5f;
                   });
  p->lines.clear();
  for (int i = 0; i < n && i < (int)crease.size(); i++) {
    const auto& e = order[crease[i].second];
    p->lines.push_back({std::get<0>(e.first), std::get<1>(e.first), std::get<2>(e.first)});
    p->lines.push_back({std::get<0>(e.second), std::get<1>(e.second), std::get<2>(e.second)});
  }
}

void part_renormal(part* p) {
  for (size_t t = 0; t < p->tris.size(); t += 3) {
    vtx* v = &p->tris[t];
    vec3 n = normalise(cross(v[1].p - v[0].p, v[2].p - v[0].p));
    v[0].n = v[1].n = v[2].n = n;
  }
}

void part_colour(part* p, const float rgb[3]) {
  for (vtx& v : p->tris)
    for (int c = 0; c < 3; c++) v.c[c] = rgb[c];
}

float model_sun_light(vec3 n) {
  const vec3 sun = normalise({0.45f, 0.3f, 0.85f});
  return 0.55f + 0.45f * std::max(dot(n, sun), 0.0f);
}

void part_shade(part* p) {
  for (vtx& v : p->tris) {
    float l = model_sun_light(v.n);
    for (float& c : v.c) c = std::min(c * l, 1.0f);
  }
}

void part_limb(part* p, const std::function<void(vec3, float*)>& weights) {
  for (vtx& v : p->tris) weights(v.p, v.limb);
}

std::vector<float> model::tris() const {
  std::vector<float> out;
  for (const part& p : parts)
    for (const vtx& v : p.tris) {
      out.insert(out.end(), {v.p.x, v.p.y, v.p.z});
      if (layout != 7) out.insert(out.end(), {v.n.x, v.n.y, v.n.z});
      out.insert(out.end(), v.c, v.c + (layout == 9 ? 3 : 2));
      if (layout == 7) out.insert(out.end(), v.limb, v.limb + 2);
    }
  return out;
}

std::vector<float> model::lines() const {
  std::vector<float> out;
  for (const part& p : parts)
    for (vec3 v : p.lines) out.insert(out.end(), {v.x, v.y, v.z});
  return out;
}

int model::numt() const {
  int n = 0;
  for (const part& p : parts) n += (int)p.tris.size() / 3;
  return n;
}

int model::numl() const {
  int n = 0;
  for (const part& p : parts) n += (int)p.lines.size() / 2;
  return n;
}
