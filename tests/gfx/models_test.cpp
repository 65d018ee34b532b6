// The compiled-in models: counts, sizes, winding, terrain heights and the
// carrier's and cats' animation weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "models.h"

namespace {

struct model_case {
  const geomdesc* g;
  const char* name;
  int stride;      // bytes a vertex
  int numt, numl;  // -1: free, but not empty
  bool closed;
  // The room the game gives it: buildings their 3 x 3 footprint, items about
  // their anchor, cursors the cells they mark (none where lo == hi).
  float lo[3], hi[3];
};

const model_case MODELS[] = {
    {&geomdesc_stone, "stone", 36, 12, 12, true, {-0.15f, -0.15f, 0}, {0.15f, 0.15f, 0.3f}},
    {&geomdesc_buildmark,
     "buildmark",
     36,
     16,
     0,
     false,
     {-0.45f, -0.45f, 0.025f},
     {0.45f, 0.45f, 0.025f}},
    {&geomdesc_food, "food", 36, 120, 108, true, {}, {}},
    {&geomdesc_grain, "grain", 36, 44, 30, true, {}, {}},
    {&geomdesc_bucke, "bucke", 36, 136, 88, true, {}, {}},
    {&geomdesc_buckf, "buckf", 36, 124, 70, true, {}, {}},
    {&geomdesc_platee, "platee", 36, 28, 24, true, {}, {}},
    {&geomdesc_platef, "platef", 36, 148, 132, true, {}, {}},
    {&geomdesc_sickle, "sickle", 36, 74, 43, true, {}, {}},
    {&geomdesc_farm, "farm", 36, -1, -1, true, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0.1f}},
    {&geomdesc_bakery, "bakery", 36, -1, 0, true, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.6f}},
    {&geomdesc_catsit, "catsit", 36, -1, 0, true, {-0.4f, -0.2f, 0}, {0.4f, 0.2f, 0.7f}},
    {&geomdesc_catstand, "catstand", 36, -1, 0, true, {-0.4f, -0.15f, 0}, {0.4f, 0.15f, 0.7f}},
    {&geomdesc_cursormdpos, "cursormdpos", 36, -1, -1, true, {0, 0, 0}, {2, 2, 0.1f}},
    {&geomdesc_cursormdneg, "cursormdneg", 36, -1, -1, true, {0, 0, 0}, {2, 2, 0.1f}},
    {&geomdesc_cursorarea, "cursorarea", 36, -1, -1, true, {0, 0, 0}, {1, 1, 0.1f}},
    {&geomdesc_mappedbakery,
     "mappedbakery",
     32,
     -1,
     0,
     true,
     {-1.5f, -1.5f, 0},
     {1.5f, 1.5f, 1.6f}},
    {&geomdesc_mappedtent, "mappedtent", 32, -1, 0, true, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.8f}},
    {&geomdesc_mappedtaxcollector,
     "mappedtaxcollector",
     32,
     -1,
     0,
     true,
     {-1.5f, -1.5f, 0},
     {1.5f, 1.5f, 1.6f}},
    {&geomdesc_mappedterraingrn, "mappedterraingrn", 32, 48298, 0, false, {}, {}},
    {&geomdesc_mappedterrainylw, "mappedterrainylw", 32, 20242, 0, false, {}, {}},
    {&geomdesc_mappedterrainblu, "mappedterrainblu", 32, 460, 0, false, {}, {}},
    {&geomdesc_mappedcarrier,
     "mappedcarrier",
     28,
     366,
     0,
     true,
     {-0.3f, -0.3f, 0},
     {0.3f, 0.3f, 1.267f}},
};

struct v3 {
  double x, y, z;
};
v3 pos(const model_case& m, int vertex) {
  const float* f = m.g->tris + vertex * (m.stride / 4);
  return {f[0], f[1], f[2]};
}
v3 sub(v3 a, v3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
v3 cross(v3 a, v3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(v3 a, v3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// Back faces are culled: every triangle must turn its front outwards. Closed
// models enclose a positive volume; a stored normal agrees with the winding.
// Each vertex keeps to the model's room; outlines join two of its vertices.
// Textures are atlases: a building triangle that took uvs from two of the
// 4 x 4 tiles would smear one material across another.
TEST(Models, SizesWindingRoomAtlasTilesAndOutlines) {
  for (const model_case& m : MODELS) {
    SCOPED_TRACE(m.name);
    EXPECT_STREQ(m.g->name, m.name);
    if (m.numt >= 0) {
      EXPECT_EQ(m.g->numt, m.numt);
    }
    EXPECT_TRUE(m.numl < 0 ? m.g->numl > 0 : m.g->numl == m.numl) << m.g->numl;
    EXPECT_GT(m.g->numt, 0);
    EXPECT_EQ(m.g->trisz, m.g->numt * 3 * m.stride);
    EXPECT_EQ(m.g->linesz, m.g->numl * 24);
    for (uint32_t v : m.g->vbos) EXPECT_EQ(v, 0u);
    const bool building = m.stride == 32 && m.closed, tiled = building || m.stride == 28;
    double volume = 0;
    int against = 0;
    for (int t = 0; t < m.g->numt; t++) {
      v3 a = pos(m, 3 * t), b = pos(m, 3 * t + 1), c = pos(m, 3 * t + 2);
      v3 n = cross(sub(b, a), sub(c, a));
      volume += dot(a, cross(b, c)) / 6;
      // The ground's normals are smooth; its triangles must face up instead.
      const float* s = m.g->tris + 3 * t * (m.stride / 4) + 3;
      if (m.stride != 28 && m.closed && dot(n, {s[0], s[1], s[2]}) < -1e-9) against++;
      if (!m.closed) {
        EXPECT_GT(n.z, 0) << "triangle " << t << " faces down";
      }
      for (int k = 0, tile = -1; tiled && k < 3; k++) {
        const float* f = m.g->tris + (t * 3 + k) * (m.stride / 4) + (building ? 6 : 3);
        ASSERT_TRUE(f[0] > 0 && f[0] < 1 && f[1] > 0 && f[1] < 1);
        const int own = (int)(f[0] * 4) + 4 * (int)(f[1] * 4);
        if (tile >= 0 && building) {
          ASSERT_EQ(own, tile) << "triangle " << t;
        }
        tile = own;
      }
    }
    EXPECT_EQ(against, 0);
    if (m.closed) {
      EXPECT_GT(volume, 0);
    }
    for (int v = 0; m.lo[0] != m.hi[0] && v < m.g->numt * 3; v++)
      for (int k = 0; k < 3; k++) {
        ASSERT_GE(m.g->tris[v * (m.stride / 4) + k], m.lo[k] - 1e-5f) << "axis " << k;
        ASSERT_LE(m.g->tris[v * (m.stride / 4) + k], m.hi[k] + 1e-5f) << "axis " << k;
      }
    // The farm's and the cursors' outlines are drawn just above their top faces.
    for (int l = 0; m.numl > 0 && l < m.g->numl * 2; l++) {
      const float* p = m.g->lines + l * 3;
      bool found = false;
      for (int v = 0; v < m.g->numt * 3 && !found; v++) {
        v3 q = pos(m, v);
        found = q.x == p[0] && q.y == p[1] && q.z == p[2];
      }
      ASSERT_TRUE(found) << "segment end " << l;
    }
  }
}

// A vertex on a cell centre carries that cell's height as the world reads it
// from the map (the byte / 4), so workers stand on the ground drawn; between
// centres it lies within its neighbours' heights. Together the meshes reach
// every land cell centre, cover the ground exactly once, and the uvs place
// each vertex on its own texel.
TEST(Models, TerrainFollowsTheHeightMap) {
  std::vector<unsigned char> h(128 * 128);
  FILE* file = fopen(TAVOREK_RUN_DIR "/testmaps/terrain.pgm", "rb");
  ASSERT_NE(file, nullptr);
  int w = 0, hh = 0, max = 0;
  EXPECT_EQ(fscanf(file, "P5 %d %d %d", &w, &hh, &max), 3);
  fgetc(file);
  ASSERT_EQ(fread(h.data(), 1, h.size(), file), h.size());
  fclose(file);
  std::vector<char> seen(128 * 128, 0);
  double area = 0;
  for (const geomdesc* g :
       {&geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw, &geomdesc_mappedterrainblu})
    for (int v = 0; v < g->numt * 3; v++) {
      const float* f = g->tris + v * 8;
      if (v % 3 == 0)
        area += ((f[8] - f[0]) * (f[17] - f[1]) - (f[16] - f[0]) * (f[9] - f[1])) / 2.0;
      ASSERT_TRUE(f[0] >= 0 && f[0] <= 127 && f[1] >= 0 && f[1] <= 127);
      EXPECT_NEAR(f[6], (f[0] + 0.5f) / 128, 1e-6);
      EXPECT_NEAR(f[7], 1 - (f[1] + 0.5f) / 128, 1e-6);
      int x0 = (int)std::floor(f[0]), y0 = (int)std::floor(f[1]);
      if (f[0] == x0 && f[1] == y0) {
        ASSERT_EQ(f[2], (float)(h[y0 * 128 + x0] >> 2)) << x0 << "," << y0;
        seen[y0 * 128 + x0] = 1;
        continue;
      }
      int x1 = std::min(x0 + 1, 127), y1 = std::min(y0 + 1, 127);
      float lo = 255, hi = 0;
      for (int c : {y0 * 128 + x0, y0 * 128 + x1, y1 * 128 + x0, y1 * 128 + x1}) {
        lo = std::fmin(lo, h[c] >> 2);
        hi = std::fmax(hi, h[c] >> 2);
      }
      ASSERT_TRUE(f[2] >= lo && f[2] <= hi) << f[0] << "," << f[1];
    }
  EXPECT_NEAR(area, 127.0 * 127.0, 1e-3);
  // Only open water, flat at its height, is spanned without inner vertices.
  int missing_land = 0;
  for (int c = 0; c < 128 * 128; c++) missing_land += !seen[c] && h[c] > 3;
  EXPECT_EQ(missing_land, 0);
}

// The crowd program moves a vertex by its limb weights times the swing: the
// carrier's head and body must stay put, legs and arms swing on opposite
// sides. The cat program bends what lies below a third of a unit, one sign
// per quadrant: a standing cat has feet in all four quadrants, its body above.
TEST(Models, CarrierAndCatAnimationWeights) {
  const geomdesc& g = geomdesc_mappedcarrier;
  int limbs[4] = {0, 0, 0, 0};  // legs left, right, arms left, right
  float top = 0;
  for (int v = 0; v < g.numt * 3; v++) {
    const float* f = g.tris + v * 7;
    top = std::fmax(top, f[2]);
    ASSERT_TRUE(f[3] >= 0 && f[3] <= 1 && f[4] >= 0 && f[4] <= 1);
    if (f[2] > 1.0f) {
      EXPECT_TRUE(f[5] == 0 && f[6] == 0) << "vertex " << v;
    }
    if (f[2] < 0.1f) {
      EXPECT_NE(f[5], 0) << "a foot that does not step";
    }
    if (f[2] < 0.1f) limbs[f[1] > 0] += (f[5] > 0) == (f[1] > 0);
    if (f[6] != 0) limbs[2 + (f[1] > 0)] += (f[6] > 0) == (f[1] > 0);
  }
  // Carried items are drawn 1.267 above the carrier: on the head, not in it.
  EXPECT_GT(top, 1.2f);
  EXPECT_LT(top, 1.267f);
  const geomdesc& cat = geomdesc_catstand;
  int feet[4] = {0, 0, 0, 0}, low_body = 0;
  for (int v = 0; v < cat.numt * 3; v++) {
    const float* f = cat.tris + v * 9;
    if (f[2] < 0.05f) feet[(f[0] > 0) * 2 + (f[1] > 0)]++;
    if (f[2] < 1.0f / 3 && std::fabs(f[1]) > 0.08f) low_body++;
  }
  for (int k = 0; k < 4; k++)
    EXPECT_TRUE(limbs[k] > 0 && feet[k] > 0) << k << ": " << limbs[k] << " " << feet[k];
  EXPECT_EQ(low_body, 0);
}

}  // namespace
