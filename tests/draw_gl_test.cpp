#include <cstring>
#include <string>
#include <vector>

#include "buckets.h"
#include "cats.h"
#include "cats_draw.h"
#include "buildings_draw.h"
#include "crowd.h"
#include "crowd_draw.h"
#include "geomdb.h"
#include "gl_context.h"
#include "grain.h"
#include "items_draw.h"
#include "glpr.h"
#include "modeldb.h"
#include "models/models.h"
#include "shaders.h"
#include "stones.h"
#include "taxc.h"
#include "stones_draw.h"
#include "tools_draw.h"
#include "txdb_raw.h"
#include "wld_draw.h"
#include "wld_state.h"

namespace {

GLint buffer_size(GLuint vbo) {
  GLint size = 0;
  glBindBuffer(GL_ARRAY_BUFFER, vbo);
  glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return size;
}

struct Draw : GlTest {
  uint32_t programs[SHADERS_COUNT] = {};
  float cam[5][16] = {};
  void SetUp() override {
    GlTest::SetUp();
    for (geomdesc* d : {&geomdesc_mappedcarrier, &geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw,
                        &geomdesc_mappedterrainblu}) {
      memset(d->vbos, 0, sizeof d->vbos);
      memset(d->vaos, 0, sizeof d->vaos);
    }
    modeldb_sz = modeldb_set = 0;
    geomdb_sz = geomdb_set = 0;
    glpr_numu = 0;
    for (auto& m : cam) memset(m, 0, sizeof m);
    for (auto& m : cam)
      for (int i = 0; i < 4; i++) m[5 * i] = 1.0f;
  }
  void TearDown() override {
    txdb_clear();
    GlTest::TearDown();
  }
  void load_all() {
    shaders_load(programs);
    txdb_set_dir(TAVOREK_RUN_DIR "/Art/raw/");
    wld_load_resources();
    ASSERT_EQ(modeldb_add(&geomdesc_mappedcarrier, CROWDSZ), 1);
    for (geomdesc* d : {&geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw, &geomdesc_mappedterrainblu})
      ASSERT_TRUE(geomdb_add(d, 1, true));
  }
  // Pixels of the 64 x 64 buffer that are not the clear colour.
  int drawn() {
    std::vector<uint8_t> p(W * H * 4);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, p.data());
    int n = 0;
    for (int i = 0; i < W * H; i++) n += !(p[4 * i] == 255 && p[4 * i + 1] == 0 && p[4 * i + 2] == 255);
    return n;
  }
  void clear() {
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
};

TEST_F(Draw, CarrierGetsThreeInstancedSetsOnceAndAgainAfterDeletion) {
  ASSERT_EQ(modeldb_add(&geomdesc_mappedcarrier, CROWDSZ), 1);
  geomdesc& d = geomdesc_mappedcarrier;
  for (int b = 0; b < 3; b++) EXPECT_EQ(buffer_size(d.vbos[2 * b]), d.trisz + CROWDSZ * 64) << b;
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(modeldb_add(&d, CROWDSZ), 0); }), "");
  EXPECT_EQ(modeldb_sz, 1);
  EXPECT_EQ(gl_logged([] { EXPECT_EQ(modeldb_load_vbos(), 0); }),
            "loading VBOs of modeldb containing 1 entries\n");
  EXPECT_EQ(modeldb_delete_vbos(), 1);
  for (int s = 0; s < 6; s++) EXPECT_EQ(d.vbos[s] | d.vaos[s], 0u) << s;
  EXPECT_EQ(modeldb_delete_vbos(), 0);
  EXPECT_EQ(modeldb_load_vbos(), 1);
  EXPECT_EQ(buffer_size(d.vbos[4]), d.trisz + CROWDSZ * 64);
  modeldb_delete_vbos();
}

TEST_F(Draw, ModelWithoutTrianglesOrFullRegistryIsRefused) {
  geomdesc empty{};
  empty.name = "empty";
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(modeldb_add(&empty, 10), 0); }),
            "ERR Failed to create vbo for geomdesc. numt=0\n");
  EXPECT_EQ(modeldb_sz, 0);
  modeldb_sz = MODELDB_MAX_SZ;
  EXPECT_EQ(gl_logged([] { EXPECT_EQ(modeldb_add(&geomdesc_mappedcarrier, CROWDSZ), 0); }),
            "ERR modeldb exceeded max capacity of 64 entries.\n");
  modeldb_sz = 0;
  EXPECT_EQ(geomdesc_mappedcarrier.vbos[0], 0u);
}

// One member at the origin seen from above, magnified; resting members are
// scaled to nothing. The draw count stays one whatever the crowd's size.
TEST_F(Draw, CrowdIsOneInstancedCallAndRestingMembersVanish) {
  load_all();
  cam[2][0] = cam[2][5] = 4.0f;
  cam[2][10] = 0.1f;
  glpr_use(programs[SHADERS_CROWDFACE]);
  const struct {
    int32_t members;
    float scale;
    bool visible;
  } cases[] = {{1, 1.0f, true}, {100, 1.0f, true}, {CROWDSZ, 1.0f, true}, {CROWDSZ, 0.0f, false}, {0, 1.0f, false}};
  for (const auto& c : cases) {
    for (int i = 0; i < CROWDSZ; i++) {
      memset(wld_trfs[i], 0, sizeof wld_trfs[i]);
      for (int k = 0; k < 3; k++) wld_trfs[i][5 * k] = c.scale;
    }
    crowd_sz = c.members;
    clear();
    EXPECT_EQ(wld_crowd_draw(cam), 1) << c.members;
    EXPECT_EQ(drawn() > 0, c.visible) << c.members << " " << c.scale;
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    modeldb_next_set();
  }
  crowd_sz = 0;
}

TEST_F(Draw, GroundCoversTheGridWithThreeCalls) {
  load_all();
  // x, y 0..128 onto the clip square; heights well inside the depth range.
  cam[2][0] = cam[2][5] = 1.0f / 64.0f;
  cam[2][10] = 0.01f;
  cam[2][12] = cam[2][13] = -1.0f;
  glpr_use(programs[SHADERS_TERR]);
  clear();
  EXPECT_EQ(wld_crowd_draw_ground(cam), 3);
  EXPECT_GT(drawn(), W * H * 9 / 10);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// Blocks, marks and tools: one call per model and state, none for an empty
// set, whatever the number of instances; the outline pass likewise.
TEST_F(Draw, ModuleDrawsAreOneCallPerModelWhateverTheirCounts) {
  shaders_load(programs);
  struct reg {
    geomdesc* d;
    uint32_t n;
  } const models[] = {{&geomdesc_stone, STONECNT},  {&geomdesc_buildmark, MAXMARKS}, {&geomdesc_bucke, MAXBUCKETS},
                      {&geomdesc_buckf, MAXBUCKETS}, {&geomdesc_platee, 1024},        {&geomdesc_platef, 1024},
                      {&geomdesc_sickle, 1024}};
  for (const reg& r : models) {
    memset(r.d->vbos, 0, sizeof r.d->vbos);
    memset(r.d->vaos, 0, sizeof r.d->vaos);
    ASSERT_TRUE(geomdb_add(r.d, r.n, false)) << r.d->name;
  }
  const struct {
    int32_t marks, empty, full, calls;
  } cases[] = {{0, 0, 0, 1}, {1, 3, 0, 3}, {MAXMARKS, 1000, 24, 4}};
  for (const auto& c : cases) {
    nummarks = c.marks;
    buckets_nume = c.empty;
    buckets_numf = c.full;
    glpr_use(programs[SHADERS_IFAC]);
    int32_t calls = stones_draw(cam);
    for (int full = 0; full < 2; full++) calls += buckets_draw(cam, full);
    EXPECT_EQ(calls, c.calls) << c.marks << " " << c.empty << " " << c.full;
    glpr_use(programs[SHADERS_IEDG]);
    // The marks have no outline.
    EXPECT_EQ(wld_draw_lines(cam), c.calls - (c.marks > 0)) << c.marks;
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    geomdb_next_set();
  }
  nummarks = buckets_nume = buckets_numf = 0;
}

// A textured building kind: nothing without buildings, else one call that
// puts the office on screen.
TEST_F(Draw, TaxOfficesAreOneTexturedCall) {
  load_all();
  geomdesc* d = &geomdesc_mappedtaxcollector;
  memset(d->vbos, 0, sizeof d->vbos);
  memset(d->vaos, 0, sizeof d->vaos);
  ASSERT_TRUE(geomdb_add(d, MAXTAXC, true));
  cam[2][0] = cam[2][5] = 0.5f;
  cam[2][10] = 0.1f;
  glpr_use(programs[SHADERS_TIFA]);
  txdb_use("taxcollectormap.pkm");
  for (int i = 0; i < MAXTAXC; i++) {
    memset(taxc_trfs[i], 0, sizeof taxc_trfs[i]);
    for (int k = 0; k < 4; k++) taxc_trfs[i][5 * k] = 1.0f;
  }
  const struct {
    int32_t offices, calls;
    bool visible;
  } cases[] = {{0, 0, false}, {1, 1, true}, {MAXTAXC, 1, true}};
  for (const auto& c : cases) {
    taxc_count = c.offices;
    clear();
    EXPECT_EQ(taxc_draw(cam), c.calls) << c.offices;
    EXPECT_EQ(drawn() > 0, c.visible) << c.offices;
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    geomdb_next_set();
  }
  taxc_count = 0;
}

// Sitting and walking cats are drawn by two models, one call each present.
TEST_F(Draw, CatsAreOneCallPerPose) {
  shaders_load(programs);
  for (geomdesc* d : {&geomdesc_catsit, &geomdesc_catstand}) {
    memset(d->vbos, 0, sizeof d->vbos);
    memset(d->vaos, 0, sizeof d->vaos);
    ASSERT_TRUE(geomdb_add(d, MAXCATS, false));
  }
  glpr_use(programs[SHADERS_CAT]);
  const struct {
    int32_t count, walking, calls;
  } cases[] = {{0, 0, 0}, {5, 0, 1}, {5, 5, 1}, {MAXCATS, 100, 2}};
  for (const auto& c : cases) {
    cats_count = c.count;
    for (int i = 0; i < MAXCATS; i++) cats_walking[i] = i < c.walking;
    EXPECT_EQ(cats_draw(cam), c.calls) << c.count << " " << c.walking;
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    geomdb_next_set();
  }
  cats_count = 0;
}

// Only the grain slots in use are drawn, in one call, and the outline pass
// draws the same ones.
TEST_F(Draw, GrainInUseIsOneCall) {
  shaders_load(programs);
  memset(geomdesc_grain.vbos, 0, sizeof geomdesc_grain.vbos);
  memset(geomdesc_grain.vaos, 0, sizeof geomdesc_grain.vaos);
  ASSERT_TRUE(geomdb_add(&geomdesc_grain, MAXGRAIN, false));
  const struct {
    int carried, at_bakery, calls;
  } cases[] = {{0, 0, 0}, {2, 1, 1}, {MAXGRAIN / 2, MAXGRAIN / 2, 1}};
  for (const auto& c : cases) {
    for (int g = 0; g < MAXGRAIN; g++) {
      grain_carr[g] = g < c.carried ? g : -1;
      grain_bkry[g] = g >= c.carried && g < c.carried + c.at_bakery ? 0 : -1;
    }
    glpr_use(programs[SHADERS_IFAC]);
    EXPECT_EQ(grain_draw(cam), c.calls) << c.carried << " " << c.at_bakery;
    glpr_use(programs[SHADERS_IEDG]);
    EXPECT_EQ(grain_draw_lines(cam), geomdesc_grain.numl ? c.calls : 0);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    geomdb_next_set();
  }
  for (int g = 0; g < MAXGRAIN; g++) grain_carr[g] = grain_bkry[g] = -1;
}

TEST(DrawColour, PotentialRunsGreenYellowMagentaRedAndUnreachedIsWhite) {
  const struct {
    float v, lo, range, rgb[3];
  } cases[] = {
      {0.0f, 0.0f, 60.0f, {0.0f, 1.0f, 0.0f}},   {10.0f, 0.0f, 60.0f, {0.5f, 1.0f, 0.0f}},
      {30.0f, 0.0f, 60.0f, {1.0f, 0.5f, 0.5f}},  {50.0f, 0.0f, 60.0f, {1.0f, 0.0f, 0.5f}},
      {190.0f, -10.0f, 80.0f, {1.0f, 0.0f, 0.0f}}, {FLT_UNDF, 0.0f, 60.0f, {1.0f, 1.0f, 1.0f}},
      {5.0f, 5.0f, 0.0f, {0.0f, 1.0f, 0.0f}},
  };
  for (const auto& c : cases) {
    float rgb[3];
    wld_potential_colour(c.v, c.lo, c.range, rgb);
    for (int k = 0; k < 3; k++) EXPECT_NEAR(rgb[k], c.rgb[k], 1e-5f) << c.v << " " << k;
  }
}

}  // namespace
