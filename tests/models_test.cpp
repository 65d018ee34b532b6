// The compiled-in models: counts, sizes, winding, colours, terrain heights and
// the carrier's and cats' animation weights.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "models/models.h"

namespace {

struct model_case {
  const geomdesc* g;
  const char* name;
  int stride;  // bytes a vertex
  int numt, numl;  // -1: free, but not empty
  bool closed;
};

const model_case MODELS[] = {
    {&geomdesc_stone, "stone", 36, 12, 12, true},
    {&geomdesc_buildmark, "buildmark", 36, 16, 0, false},
    {&geomdesc_food, "food", 36, 120, 108, true},
    {&geomdesc_grain, "grain", 36, 44, 30, true},
    {&geomdesc_bucke, "bucke", 36, 136, 88, true},
    {&geomdesc_buckf, "buckf", 36, 124, 70, true},
    {&geomdesc_platee, "platee", 36, 28, 24, true},
    {&geomdesc_platef, "platef", 36, 148, 132, true},
    {&geomdesc_sickle, "sickle", 36, 74, 43, true},
    {&geomdesc_farm, "farm", 36, -1, -1, true},
    {&geomdesc_bakery, "bakery", 36, -1, 0, true},
    {&geomdesc_catsit, "catsit", 36, -1, 0, true},
    {&geomdesc_catstand, "catstand", 36, -1, 0, true},
    {&geomdesc_cursormdpos, "cursormdpos", 36, -1, -1, true},
    {&geomdesc_cursormdneg, "cursormdneg", 36, -1, -1, true},
    {&geomdesc_cursorarea, "cursorarea", 36, -1, -1, true},
    {&geomdesc_mappedbakery, "mappedbakery", 32, -1, 0, true},
    {&geomdesc_mappedtent, "mappedtent", 32, -1, 0, true},
    {&geomdesc_mappedtaxcollector, "mappedtaxcollector", 32, -1, 0, true},
    {&geomdesc_mappedterraingrn, "mappedterraingrn", 32, 48298, 0, false},
    {&geomdesc_mappedterrainylw, "mappedterrainylw", 32, 20242, 0, false},
    {&geomdesc_mappedterrainblu, "mappedterrainblu", 32, 460, 0, false},
    {&geomdesc_mappedcarrier, "mappedcarrier", 28, 366, 0, true},
};

struct v3 {
  double x, y, z;
};
v3 pos(const model_case& m, int vertex) {
  const float* f = m.g->tris + vertex * (m.stride / 4);
  return {f[0], f[1], f[2]};
}
v3 sub(v3 a, v3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
v3 cross(v3 a, v3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(v3 a, v3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

TEST(Models, CountsAndSizes) {
  for (const model_case& m : MODELS) {
    SCOPED_TRACE(m.name);
    EXPECT_STREQ(m.g->name, m.name);
    if (m.numt >= 0) { EXPECT_EQ(m.g->numt, m.numt); }
    if (m.numl >= 0) { EXPECT_EQ(m.g->numl, m.numl); }
    EXPECT_GT(m.g->numt, 0);
    if (m.numl < 0) { EXPECT_GT(m.g->numl, 0); }
    EXPECT_EQ(m.g->trisz, m.g->numt * 3 * m.stride);
    EXPECT_EQ(m.g->linesz, m.g->numl * 24);
    for (uint32_t v : m.g->vbos) EXPECT_EQ(v, 0u);
  }
}

// Back faces are culled: every triangle must turn its front outwards. Closed
// models enclose a positive volume; a stored normal agrees with the winding.
TEST(Models, WindingFacesOutward) {
  for (const model_case& m : MODELS) {
    SCOPED_TRACE(m.name);
    double volume = 0;
    int against = 0;
    for (int t = 0; t < m.g->numt; t++) {
      v3 a = pos(m, 3 * t), b = pos(m, 3 * t + 1), c = pos(m, 3 * t + 2);
      v3 n = cross(sub(b, a), sub(c, a));
      volume += dot(a, cross(b, c)) / 6;
      // The ground's normals are smooth; its triangles must face up instead.
      if (m.stride != 28 && m.closed) {
        const float* s = m.g->tris + 3 * t * (m.stride / 4) + 3;
        if (dot(n, {s[0], s[1], s[2]}) < -1e-9) against++;
      }
      if (!m.closed) EXPECT_GT(n.z, 0) << "triangle " << t << " faces down";
    }
    EXPECT_EQ(against, 0);
    if (m.closed) EXPECT_GT(volume, 0);
  }
}

TEST(Models, StoneAndMarkColours) {
  const struct {
    const geomdesc* g;
    float rgb[3];
  } cases[] = {{&geomdesc_stone, {1.0f, 1.0f, 0.85f}}, {&geomdesc_buildmark, {0.19f, 0.08f, 0.07f}}};
  for (const auto& c : cases)
    for (int v = 0; v < c.g->numt * 3; v++)
      for (int k = 0; k < 3; k++) ASSERT_FLOAT_EQ(c.g->tris[v * 9 + 6 + k], c.rgb[k]) << c.g->name;
}

TEST(Models, StoneIsTheBoxOfItsPart) {
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (int v = 0; v < 36; v++)
    for (int k = 0; k < 3; k++) {
      lo[k] = std::fmin(lo[k], geomdesc_stone.tris[v * 9 + k]);
      hi[k] = std::fmax(hi[k], geomdesc_stone.tris[v * 9 + k]);
    }
  const float want_lo[3] = {-0.15f, -0.15f, 0}, want_hi[3] = {0.15f, 0.15f, 0.3f};
  for (int k = 0; k < 3; k++) {
    EXPECT_NEAR(lo[k], want_lo[k], 1e-6);
    EXPECT_NEAR(hi[k], want_hi[k], 1e-6);
  }
}

std::vector<unsigned char> terrain_map() {
  std::vector<unsigned char> h(128 * 128);
  FILE* f = fopen(TAVOREK_RUN_DIR "/testmaps/terrain.pgm", "rb");
  EXPECT_NE(f, nullptr);
  if (!f) return {};
  int w = 0, hh = 0, max = 0;
  EXPECT_EQ(fscanf(f, "P5 %d %d %d", &w, &hh, &max), 3);
  fgetc(f);
  EXPECT_EQ(fread(h.data(), 1, h.size(), f), h.size());
  fclose(f);
  return h;
}

// A vertex on a cell centre carries that cell's height as the world reads it
// from the map (the byte / 4, drawn 0.15 a step), so workers stand on the
// ground drawn; between centres it lies within its neighbours' heights. Together the
// meshes reach every land cell centre, and the uvs place each on its own texel.
TEST(Models, TerrainFollowsTheHeightMap) {
  const std::vector<unsigned char> h = terrain_map();
  ASSERT_EQ(h.size(), 128u * 128u);
  std::vector<char> seen(128 * 128, 0);
  for (const geomdesc* g : {&geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw,
                            &geomdesc_mappedterrainblu})
    for (int v = 0; v < g->numt * 3; v++) {
      const float* f = g->tris + v * 8;
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
  // Only open water, flat at its height, is spanned without inner vertices.
  int missing_land = 0;
  for (int c = 0; c < 128 * 128; c++) missing_land += !seen[c] && h[c] > 3;
  EXPECT_EQ(missing_land, 0);
}

// The crowd program moves a vertex by its limb weights times the swing: the
// head and body must stay put, legs and arms swing on opposite sides.
TEST(Models, CarrierLimbWeights) {
  const geomdesc& g = geomdesc_mappedcarrier;
  int legs[2] = {0, 0}, arms[2] = {0, 0};
  float top = 0;
  for (int v = 0; v < g.numt * 3; v++) {
    const float* f = g.tris + v * 7;
    top = std::fmax(top, f[2]);
    ASSERT_TRUE(f[3] >= 0 && f[3] <= 1 && f[4] >= 0 && f[4] <= 1);
    if (f[2] > 1.0f) {
      EXPECT_EQ(f[5], 0);
      EXPECT_EQ(f[6], 0);
    }
    if (f[2] < 0.1f) {
      EXPECT_NE(f[5], 0) << "a foot that does not step";
      legs[f[1] > 0] += (f[5] > 0) == (f[1] > 0);
    }
    if (f[6] != 0) arms[f[1] > 0] += (f[6] > 0) == (f[1] > 0);
  }
  EXPECT_GT(legs[0], 0);
  EXPECT_GT(legs[1], 0);
  EXPECT_GT(arms[0], 0);
  EXPECT_GT(arms[1], 0);
  // Carried items are drawn 1.267 above the carrier: on the head, not in it.
  EXPECT_GT(top, 1.2f);
  EXPECT_LT(top, 1.267f);
}

// The cat program bends what lies below a third of a unit, one sign per
// quadrant: a standing cat has feet in all four quadrants and its body above.
TEST(Models, StandingCatLegsInEveryQuadrant) {
  const geomdesc& g = geomdesc_catstand;
  int feet[4] = {0, 0, 0, 0}, low_body = 0;
  for (int v = 0; v < g.numt * 3; v++) {
    const float* f = g.tris + v * 9;
    if (f[2] < 0.05f) feet[(f[0] > 0) * 2 + (f[1] > 0)]++;
    if (f[2] < 1.0f / 3 && std::fabs(f[1]) > 0.08f) low_body++;
  }
  for (int q = 0; q < 4; q++) EXPECT_GT(feet[q], 0) << q;
  EXPECT_EQ(low_body, 0);
}

// Every model stays in the room the game gives it: buildings in their 3 x 3
// footprint, items about their anchor, cursors over the cells they mark.
TEST(Models, ModelsFitTheirPlaces) {
  const struct {
    const geomdesc* g;
    int stride;
    float lo[3], hi[3];
  } cases[] = {
      {&geomdesc_mappedbakery, 32, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.6f}},
      {&geomdesc_bakery, 36, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.6f}},
      {&geomdesc_mappedtent, 32, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.8f}},
      {&geomdesc_mappedtaxcollector, 32, {-1.5f, -1.5f, 0}, {1.5f, 1.5f, 1.6f}},
      {&geomdesc_farm, 36, {-0.5f, -0.5f, 0}, {0.5f, 0.5f, 0.1f}},
      {&geomdesc_cursormdpos, 36, {0, 0, 0}, {2, 2, 0.1f}},
      {&geomdesc_cursormdneg, 36, {0, 0, 0}, {2, 2, 0.1f}},
      {&geomdesc_cursorarea, 36, {0, 0, 0}, {1, 1, 0.1f}},
      {&geomdesc_buildmark, 36, {-0.45f, -0.45f, 0.025f}, {0.45f, 0.45f, 0.025f}},
      {&geomdesc_catstand, 36, {-0.4f, -0.15f, 0}, {0.4f, 0.15f, 0.7f}},
      {&geomdesc_catsit, 36, {-0.4f, -0.2f, 0}, {0.4f, 0.2f, 0.7f}},
      {&geomdesc_mappedcarrier, 28, {-0.3f, -0.3f, 0}, {0.3f, 0.3f, 1.267f}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.g->name);
    for (int v = 0; v < c.g->numt * 3; v++)
      for (int k = 0; k < 3; k++) {
        float f = c.g->tris[v * (c.stride / 4) + k];
        ASSERT_GE(f, c.lo[k] - 1e-5f) << "axis " << k;
        ASSERT_LE(f, c.hi[k] + 1e-5f) << "axis " << k;
      }
  }
}

// Textures are atlases: a triangle that took uvs from two tiles would smear
// one material across another. Buildings use 4 x 4 tiles, the carrier its
// 4 x 4 grid of quarter rectangles.
TEST(Models, TrianglesStayInOneAtlasTile) {
  const struct {
    const geomdesc* g;
    int stride, uv;
  } cases[] = {{&geomdesc_mappedbakery, 8, 6},
               {&geomdesc_mappedtent, 8, 6},
               {&geomdesc_mappedtaxcollector, 8, 6},
               {&geomdesc_mappedcarrier, 7, 3}};
  for (const auto& c : cases)
    for (int t = 0; t < c.g->numt; t++) {
      int tile = -1;
      for (int k = 0; k < 3; k++) {
        const float* f = c.g->tris + (t * 3 + k) * c.stride + c.uv;
        ASSERT_TRUE(f[0] > 0 && f[0] < 1 && f[1] > 0 && f[1] < 1) << c.g->name;
        int own = (int)(f[0] * 4) + 4 * (int)(f[1] * 4);
        if (tile >= 0 && c.g != &geomdesc_mappedcarrier) ASSERT_EQ(own, tile) << c.g->name << " " << t;
        tile = own;
      }
    }
}

// Face up and together the three ground meshes cover the square between the
// outer cell centres exactly once: no hole and no overlap.
TEST(Models, TerrainMeshesTileTheGround) {
  double area = 0;
  for (const geomdesc* g : {&geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw,
                            &geomdesc_mappedterrainblu})
    for (int t = 0; t < g->numt; t++) {
      const float* a = g->tris + t * 24;
      const float* b = a + 8;
      const float* c = b + 8;
      area += ((b[0] - a[0]) * (c[1] - a[1]) - (c[0] - a[0]) * (b[1] - a[1])) / 2.0;
    }
  EXPECT_NEAR(area, 127.0 * 127.0, 1e-3);
}

// Outlines trace the model: every segment joins two of its vertices (the
// farm's and the cursors' outlines are drawn just above their top faces).
TEST(Models, OutlinesJoinModelVertices) {
  for (const model_case& m : MODELS) {
    if (m.g->numl == 0 || m.numl < 0) continue;
    SCOPED_TRACE(m.name);
    for (int l = 0; l < m.g->numl * 2; l++) {
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

}  // namespace
