#include <cstring>
#include <string>

#include "buckets.h"
#include "crowd.h"
#include "crowd_draw.h"
#include "fresh_draw.h"
#include "geomdb.h"
#include "gl_context.h"
#include "glpr.h"
#include "grain.h"
#include "items_draw.h"
#include "modeldb.h"
#include "models.h"
#include "shaders.h"
#include "stones.h"
#include "stones_draw.h"
#include "txdb_raw.h"
#include "wld_draw.h"
#include "wld_state.h"
#include "worktools_draw.h"

namespace {

struct Draw : GlTest {
  uint32_t programs[SHADERS_COUNT] = {};
  float cam[5][16] = {};
  void SetUp() override {
    GlTest::SetUp();
    fresh_draw();
    for (auto& m : cam)
      for (int i = 0; i < 16; i++) m[i] = i % 5 == 0;
  }
  void TearDown() override {
    shaders_delete(programs);
    wld_delete_resources();
    fresh_draw();  // while the context is current
    GlTest::TearDown();
  }
  void load_all() {
    shaders_load(programs);
    txdb_set_dir(TAVOREK_RUN_DIR "/Art/raw/");
    wld_load_resources();
    ASSERT_EQ(modeldb_add(&geomdesc_mappedcarrier, CROWDSZ), 1);
    for (geomdesc* d :
         {&geomdesc_mappedterraingrn, &geomdesc_mappedterrainylw, &geomdesc_mappedterrainblu})
      ASSERT_TRUE(geomdb_add(d, 1, true));
  }
  void clear() {
    glClearColor(1, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  }
};

TEST_F(Draw, CarrierGetsThreeInstancedSetsOnceAndAgainAfterDeletion) {
  ASSERT_EQ(modeldb_add(&geomdesc_mappedcarrier, CROWDSZ), 1);
  geomdesc& d = geomdesc_mappedcarrier;
  for (int b = 0; b < 3; b++) EXPECT_EQ(gl_buffer_size(d.vbos[2 * b]), d.trisz + CROWDSZ * 64) << b;
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(modeldb_add(&d, CROWDSZ), 0); }), "");
  EXPECT_EQ(modeldb_sz, 1);
  modeldb_sz = MODELDB_MAX_SZ;
  geomdesc other = d, empty{};
  memset(other.vbos, 0, sizeof other.vbos);
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(modeldb_add(&other, CROWDSZ), 0); }),
            "ERR modeldb exceeded max capacity of 64 entries.\n");
  modeldb_sz = 1;
  empty.name = "empty";
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(modeldb_add(&empty, 10), 0); }),
            "ERR Failed to create vbo for geomdesc. numt=0\n");
  EXPECT_EQ(modeldb_sz, 1);
  gl_logged([] { EXPECT_EQ(modeldb_load_vbos(), 0); });  // all present: none made
  EXPECT_EQ(modeldb_delete_vbos(), 1);
  for (int s = 0; s < 6; s++) EXPECT_EQ(d.vbos[s] | d.vaos[s], 0u) << s;
  EXPECT_EQ(modeldb_delete_vbos(), 0);
  EXPECT_EQ(modeldb_load_vbos(), 1);
  EXPECT_EQ(gl_buffer_size(d.vbos[4]), d.trisz + CROWDSZ * 64);
  modeldb_delete_vbos();
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
  } cases[] = {{100, 1.0f, true}, {CROWDSZ, 1.0f, true}, {CROWDSZ, 0.0f, false}, {0, 1.0f, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.members);
    for (int i = 0; i < CROWDSZ; i++) {
      memset(wld_trfs[i], 0, sizeof wld_trfs[i]);
      for (int k = 0; k < 3; k++) wld_trfs[i][5 * k] = c.scale;
    }
    crowd_sz = c.members;
    clear();
    EXPECT_EQ(wld_crowd_draw(cam), 1);
    EXPECT_EQ(drawn(255, 0, 255) > 0, c.visible) << c.scale;
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
  EXPECT_GT(drawn(255, 0, 255), W * H * 9 / 10);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

// Blocks, marks, tools and grain: one call per model and state, none for an
// empty set, whatever the number of instances; the outline pass likewise.
// Only the grain slots in use (carried or at a bakery) count.
TEST_F(Draw, ModuleDrawsAreOneCallPerModelWhateverTheirCounts) {
  shaders_load(programs);
  struct reg {
    geomdesc* d;
    uint32_t n;
  } const models[] = {{&geomdesc_stone, STONECNT},   {&geomdesc_buildmark, MAXMARKS},
                      {&geomdesc_bucke, MAXBUCKETS}, {&geomdesc_buckf, MAXBUCKETS},
                      {&geomdesc_platee, 1024},      {&geomdesc_platef, 1024},
                      {&geomdesc_sickle, 1024},      {&geomdesc_grain, MAXGRAIN}};
  for (const reg& r : models) ASSERT_TRUE(geomdb_add(r.d, r.n, false)) << r.d->name;
  const struct {
    int32_t marks, empty, full, carried, at_bakery, calls;
  } cases[] = {
      {0, 0, 0, 0, 0, 1}, {1, 3, 0, 2, 1, 4}, {MAXMARKS, 1000, 24, MAXGRAIN / 2, MAXGRAIN / 2, 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.calls);
    nummarks = c.marks;
    buckets_nume = c.empty;
    buckets_numf = c.full;
    for (int g = 0; g < MAXGRAIN; g++) {
      grain_carr[g] = g < c.carried ? g : -1;
      grain_bkry[g] = g >= c.carried && g < c.carried + c.at_bakery ? 0 : -1;
    }
    glpr_use(programs[SHADERS_IFAC]);
    const int32_t grain = grain_draw(cam);
    int32_t calls = stones_draw(cam) + grain;
    for (int full = 0; full < 2; full++) calls += buckets_draw(cam, full);
    EXPECT_EQ(grain, c.carried + c.at_bakery > 0 ? 1 : 0);
    EXPECT_EQ(calls, c.calls);
    glpr_use(programs[SHADERS_IEDG]);
    // The marks have no outline.
    EXPECT_EQ(wld_draw_lines(cam), c.calls - (c.marks > 0) - (geomdesc_grain.numl ? 0 : grain));
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    geomdb_next_set();
  }
  nummarks = buckets_nume = buckets_numf = 0;
  for (int g = 0; g < MAXGRAIN; g++) grain_carr[g] = grain_bkry[g] = -1;
}

TEST(DrawColour, PotentialRunsGreenYellowMagentaRedAndUnreachedIsWhite) {
  const struct {
    float v, lo, range, rgb[3];
  } cases[] = {{0, 0, 60, {0, 1, 0}},     {10, 0, 60, {0.5f, 1, 0}}, {30, 0, 60, {1, 0.5f, 0.5f}},
               {50, 0, 60, {1, 0, 0.5f}}, {190, -10, 80, {1, 0, 0}}, {FLT_UNDF, 0, 60, {1, 1, 1}},
               {5, 5, 0, {0, 1, 0}}};
  for (const auto& c : cases) {
    float rgb[3];
    wld_potential_colour(c.v, c.lo, c.range, rgb);
    for (int k = 0; k < 3; k++) EXPECT_NEAR(rgb[k], c.rgb[k], 1e-5f) << c.v << " " << k;
  }
}

}  // namespace
