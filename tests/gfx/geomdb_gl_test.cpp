#include <string>
#include <vector>

#include "geomdb.h"
#include "gl_context.h"

namespace {

// Two triangles and one segment, coloured (36 bytes a vertex) or textured (32).
struct model {
  std::vector<float> tris, lines;
  geomdesc d{};
  model(bool uv, bool outline) {
    tris.assign(6 * (uv ? 8 : 9), 0.5f);
    lines.assign(outline ? 6 : 0, 0.25f);
    d.name = "test";
    d.numt = 2;
    d.numl = outline ? 1 : 0;
    d.tris = tris.data();
    d.lines = lines.data();
    d.trisz = (int32_t)(tris.size() * 4);
    d.linesz = (int32_t)(lines.size() * 4);
  }
};

GLint attrib(GLuint vao, GLuint index, GLenum what) {
  GLint v = -1;
  glBindVertexArray(vao);
  glGetVertexAttribiv(index, what, &v);
  glBindVertexArray(0);
  return v;
}

struct Geomdb : GlTest {
  void SetUp() override {
    GlTest::SetUp();
    geomdb_sz = geomdb_set = 0;
  }
  void TearDown() override {
    // The records went with the test body, the buffers go with the context.
    geomdb_sz = geomdb_set = 0;
    GlTest::TearDown();
  }
};

// A second registration, the sixty-fifth and one with nothing to create are
// refused; the empty one's slot is not kept.
TEST_F(Geomdb, SecondSixtyFifthAndEmptyRegistrationAreRefused) {
  std::vector<model> models;
  models.reserve(66);
  for (int i = 0; i < 66; i++) models.emplace_back(false, i < 65);
  models[65].d.numt = 0;
  EXPECT_EQ(gl_logged([&] { EXPECT_FALSE(geomdb_add(&models[65].d, 1, false)); }),
            "ERR Failed to create vbo for geomdesc. numt=0\n");
  EXPECT_EQ(geomdb_sz, 0);
  EXPECT_TRUE(geomdb_add(&models[0].d, 1, false));
  const GLuint vbo = models[0].d.vbos[0];
  EXPECT_EQ(gl_logged([&] { EXPECT_FALSE(geomdb_add(&models[0].d, 1, false)); }), "");
  EXPECT_EQ(models[0].d.vbos[0], vbo);
  for (int i = 1; i < 64; i++) ASSERT_TRUE(geomdb_add(&models[i].d, 1, false));
  EXPECT_EQ(gl_logged([&] { EXPECT_FALSE(geomdb_add(&models[64].d, 1, false)); }),
            "ERR geomdb exceeded max capacity of 64 entries.\n");
  EXPECT_EQ(models[64].d.vbos[0], 0u);
}

TEST_F(Geomdb, InstancedSetsHoldMatricesWithDivisorOneAndStayInsideAfterOrphaning) {
  const struct {
    bool uv;
    uint32_t inst;
  } cases[] = {{false, 4212}, {true, 128}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.uv);
    geomdb_sz = 0;
    model m(c.uv, true);
    ASSERT_TRUE(geomdb_add(&m.d, c.inst, c.uv));
    const GLint tri_bytes = m.d.trisz + 64 * (GLint)c.inst + (c.uv ? 8 * (GLint)c.inst : 0);
    for (int set = 0; set < 3; set++) {
      geomdb_set = set;
      for (int pass = 0; pass < 2; pass++) {  // as created, then orphaned
        const GLuint vao = m.d.vaos[2 * set];
        const GLint size = gl_buffer_size(m.d.vbos[2 * set]);
        EXPECT_EQ(size, tri_bytes) << "set " << set;
        EXPECT_EQ(gl_buffer_size(m.d.vbos[2 * set + 1]), m.d.linesz + 64 * (GLint)c.inst);
        for (GLuint a = 3; a <= 6; a++) {
          EXPECT_EQ(attrib(vao, a, GL_VERTEX_ATTRIB_ARRAY_DIVISOR), 1);
          EXPECT_EQ(attrib(m.d.vaos[2 * set + 1], a, GL_VERTEX_ATTRIB_ARRAY_DIVISOR), 1);
        }
        EXPECT_EQ(attrib(vao, 7, GL_VERTEX_ATTRIB_ARRAY_ENABLED), c.uv ? 1 : 0);
        if (c.uv) {
          // The last instance's 2-vector ends at the store's end.
          GLvoid* at = nullptr;
          glBindVertexArray(vao);
          glGetVertexAttribPointerv(7, GL_VERTEX_ATTRIB_ARRAY_POINTER, &at);
          glBindVertexArray(0);
          EXPECT_LE((intptr_t)at + 8 * (intptr_t)c.inst, size);
        }
        ASSERT_TRUE(geomdb_orphan_instances(&m.d));
      }
    }
  }
}

// A static model has only its bytes, and no outline without segments.
TEST_F(Geomdb, StaticModelAndBindOfTheCurrentSet) {
  model s(false, false), m(false, true);
  ASSERT_TRUE(geomdb_add(&s.d, 1, false));
  EXPECT_EQ(gl_buffer_size(s.d.vbos[0]), s.d.trisz);
  EXPECT_EQ(s.d.vbos[1] | s.d.vbos[2], 0u);
  EXPECT_EQ(attrib(s.d.vaos[0], 0, GL_VERTEX_ATTRIB_ARRAY_STRIDE), 36);
  ASSERT_TRUE(geomdb_add(&m.d, 32, false));
  model other(false, true);
  EXPECT_FALSE(geomdb_orphan_instances(&other.d));  // only what is registered
  geomdb_set = 1;
  geomdb_next_set();
  geomdb_bind(&m.d, true);
  GLint bound = 0;
  glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &bound);
  EXPECT_EQ((GLuint)bound, m.d.vaos[5]);
  geomdb_next_set();
  EXPECT_EQ(geomdb_set, 0);
}

// Destruction frees every buffer; a new context gets them all back.
TEST_F(Geomdb, DeletedBuffersAreMadeAgain) {
  model s(false, true), m(true, true);
  ASSERT_TRUE(geomdb_add(&s.d, 1, false));
  ASSERT_TRUE(geomdb_add(&m.d, 8, true));
  EXPECT_EQ(geomdb_delete_vbos(), 2);
  for (int slot = 0; slot < 6; slot++)
    EXPECT_EQ(s.d.vbos[slot] | s.d.vaos[slot] | m.d.vbos[slot] | m.d.vaos[slot], 0u);
  EXPECT_EQ(geomdb_delete_vbos(), 0);
  EXPECT_EQ(geomdb_load_vbos(), 2);
  EXPECT_EQ(gl_buffer_size(s.d.vbos[1]), s.d.linesz);
  EXPECT_EQ(gl_buffer_size(m.d.vbos[4]), geomdb_instanced_size(&m.d, 8, true));
  EXPECT_EQ(geomdb_load_vbos(), 0);
  geomdb_delete_vbos();
}

}  // namespace
