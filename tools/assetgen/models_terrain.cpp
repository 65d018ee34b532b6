// The textured terrain in three meshes with vertices at the cell centres
// (mesh x, y = cell, z = the world's height, the map byte / 4 as the world
// reads the map; the ground draw scales z by 0.15):
// "mappedterrainblu" the open water, "mappedterrainylw" the high desert,
// "mappedterraingrn" everything else. Each mesh has the triangle count the
// game's drawing expects; all three textures paint the whole map, so which
// mesh a quad lands in never shows. Water quads of one column strip merge into
// one flat rectangle; land quads are split two ways (flattest first), fanned
// from their centre, or fanned with split edges (steepest first) until each
// mesh has its count.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include "models_gen.h"

namespace {

const int N = 128;
const int TARGET_GRN = 48298, TARGET_YLW = 20242, TARGET_BLU = 460;
const int WATER_MAX = 3;  // height bytes of the river bed
// The desert mesh takes the highest quads, from this height up but never
// more than its count can hold as plain pairs.
const float DESERT_LEVEL = 30;
const int DESERT_MAX_QUADS = 9600;

struct grid {
  const unsigned char* h;
  float at(int x, int y) const { return (float)(h[y * N + x] >> 2); }
  bool water(int x, int y) const { return h[y * N + x] <= WATER_MAX; }
};

vtx ground_vertex(const grid& g, float x, float y, float z) {
  int ix = std::min(std::max((int)std::lround(x), 1), N - 2);
  int iy = std::min(std::max((int)std::lround(y), 1), N - 2);
  const float step = 0.15f;
  vtx v{};
  v.p = {x, y, z};
  v.n = normalise({-(g.at(ix + 1, iy) - g.at(ix - 1, iy)) * step / 2,
                   -(g.at(ix, iy + 1) - g.at(ix, iy - 1)) * step / 2, 1});
  v.c[0] = (x + 0.5f) / N;
  v.c[1] = 1 - (y + 0.5f) / N;
  return v;
}

void add_tri(part* p, const vtx& a, const vtx& b, const vtx& c) {
  p->tris.push_back(a);
  p->tris.push_back(b);
  p->tris.push_back(c);
}

// Edge keys: horizontal edge (x, y)-(x + 1, y) and vertical (x, y)-(x, y + 1).
int hedge(int x, int y) { return y * N + x; }
int vedge(int x, int y) { return N * N + y * N + x; }

enum { GRN, YLW, BLU };

struct quad_plan {
  int cls;
  bool fan;
};

}  // namespace

void models_terrain(const unsigned char* heights, std::vector<model>* out) {
  const grid g{heights};
  const int Q = N - 1;
  std::vector<quad_plan> plan(Q * Q);
  std::vector<char> split(2 * N * N, 0);
  int count[3] = {0, 0, 0};
  std::vector<float> means;
  for (int y = 0; y < Q; y++)
    for (int x = 0; x < Q; x++)
      means.push_back((g.at(x, y) + g.at(x + 1, y) + g.at(x, y + 1) + g.at(x + 1, y + 1)) / 4);
  std::vector<float> sorted = means;
  std::sort(sorted.begin(), sorted.end(), std::greater<float>());
  const float desert = std::max(DESERT_LEVEL, sorted[DESERT_MAX_QUADS] + 0.125f);
  for (int y = 0; y < Q; y++)
    for (int x = 0; x < Q; x++) {
      quad_plan& q = plan[y * Q + x];
      bool wet = g.water(x, y) && g.water(x + 1, y) && g.water(x, y + 1) && g.water(x + 1, y + 1);
      q.cls = wet ? BLU : means[y * Q + x] >= desert ? YLW : GRN;
      q.fan = true;
      count[q.cls]++;
    }
  const int target[2] = {TARGET_GRN, TARGET_YLW};
  for (int c = GRN; c <= YLW; c++) {
    int extra = target[c] - 4 * count[c];
    if (extra < 0) {
      // Flattest quads first become two plain triangles (2 fewer each).
      std::vector<std::pair<float, int>> flat;
      for (int i = 0; i < Q * Q; i++)
        if (plan[i].cls == c) {
          int x = i % Q, y = i / Q;
          float lo = std::min({g.at(x, y), g.at(x + 1, y), g.at(x, y + 1), g.at(x + 1, y + 1)});
          float hi = std::max({g.at(x, y), g.at(x + 1, y), g.at(x, y + 1), g.at(x + 1, y + 1)});
          flat.push_back({hi - lo, i});
        }
      std::stable_sort(flat.begin(), flat.end());
      for (int k = 0; k < -extra / 2 && k < (int)flat.size(); k++) plan[flat[k].second].fan = false;
    } else {
      // Steepest edges inside the class first get a midpoint (2 more each).
      std::vector<std::pair<float, int>> steep;
      for (int y = 0; y < Q; y++)
        for (int x = 0; x < Q; x++) {
          if (plan[y * Q + x].cls != c) continue;
          if (y > 0 && plan[(y - 1) * Q + x].cls == c)
            steep.push_back({-std::fabs(g.at(x + 1, y) - g.at(x, y)), hedge(x, y)});
          if (x > 0 && plan[y * Q + x - 1].cls == c)
            steep.push_back({-std::fabs(g.at(x, y + 1) - g.at(x, y)), vedge(x, y)});
        }
      std::stable_sort(steep.begin(), steep.end());
      for (int k = 0; k < extra / 2 && k < (int)steep.size(); k++) split[steep[k].second] = 1;
    }
  }

  model mesh[3] = {{"mappedterraingrn", 8, {part{}}},
                   {"mappedterrainylw", 8, {part{}}},
                   {"mappedterrainblu", 8, {part{}}}};
  auto corner = [&](int x, int y) { return ground_vertex(g, (float)x, (float)y, g.at(x, y)); };
  for (int y = 0; y < Q; y++)
    for (int x = 0; x < Q; x++) {
      const quad_plan& q = plan[y * Q + x];
      if (q.cls == BLU) continue;
      part* p = &mesh[q.cls].parts[0];
      vtx a = corner(x, y), b = corner(x + 1, y), c = corner(x + 1, y + 1), d = corner(x, y + 1);
      if (!q.fan) {
        // The diagonal between the closer heights keeps ridges and valleys.
        if (std::fabs(a.p.z - c.p.z) <= std::fabs(b.p.z - d.p.z)) {
          add_tri(p, a, b, c);
          add_tri(p, a, c, d);
        } else {
          add_tri(p, a, b, d);
          add_tri(p, b, c, d);
        }
        continue;
      }
      // Boundary counter-clockwise seen from above, with edge midpoints.
      std::vector<vtx> ring;
      const vtx corners[4] = {a, b, c, d};
      const int edges[4] = {hedge(x, y), vedge(x + 1, y), hedge(x, y + 1), vedge(x, y)};
      for (int k = 0; k < 4; k++) {
        ring.push_back(corners[k]);
        if (split[edges[k]]) {
          const vtx& e = corners[(k + 1) % 4];
          ring.push_back(ground_vertex(g, (corners[k].p.x + e.p.x) / 2,
                                       (corners[k].p.y + e.p.y) / 2, (corners[k].p.z + e.p.z) / 2));
        }
      }
      vtx centre = ground_vertex(g, x + 0.5f, y + 0.5f, (a.p.z + b.p.z + c.p.z + d.p.z) / 4);
      for (size_t k = 0; k < ring.size(); k++)
        add_tri(p, centre, ring[k], ring[(k + 1) % ring.size()]);
    }

  // Water: the wet quads of a column strip as one flat rectangle, as many of
  // them fanned from their centre as the count asks.
  std::vector<int> runs;  // x, y0, y1 (exclusive)
  for (int x = 0; x < Q; x++)
    for (int y = 0; y < Q; y++) {
      if (plan[y * Q + x].cls != BLU || (y > 0 && plan[(y - 1) * Q + x].cls == BLU)) continue;
      int y1 = y;
      while (y1 < Q && plan[y1 * Q + x].cls == BLU) y1++;
      runs.insert(runs.end(), {x, y, y1});
    }
  const int rects = (int)runs.size() / 3;
  int fans = TARGET_BLU / 2 - rects;
  part* water = &mesh[BLU].parts[0];
  for (int r = 0; r < rects; r++) {
    int x = runs[r * 3], y0 = runs[r * 3 + 1], y1 = runs[r * 3 + 2];
    vtx a = corner(x, y0), b = corner(x + 1, y0), c = corner(x + 1, y1), d = corner(x, y1);
    if (r < fans) {
      vtx m = ground_vertex(g, x + 0.5f, (y0 + y1) / 2.0f, (a.p.z + b.p.z + c.p.z + d.p.z) / 4);
      add_tri(water, m, a, b);
      add_tri(water, m, b, c);
      add_tri(water, m, c, d);
      add_tri(water, m, d, a);
    } else {
      add_tri(water, a, b, c);
      add_tri(water, a, c, d);
    }
  }
  for (model& m : mesh) {
    if (m.numt() != (m.name == "mappedterraingrn"   ? TARGET_GRN
                     : m.name == "mappedterrainylw" ? TARGET_YLW
                                                    : TARGET_BLU))
      fprintf(stderr, "assetgen: %s has %d triangles\n", m.name.c_str(), m.numt());
    out->push_back(m);
  }
}
