#include <cstring>
#include <string>

#include "gl_context.h"
#include "glpr.h"
#include "shaders.h"

namespace {

const char* VS =
    "#version 150\nuniform vec2 a;\nuniform vec2 b;\nin vec2 position;\nin vec2 uv;\nin vec2 "
    "uvoff;\n"
    "out vec2 t;\nvoid main() { t = uv + uvoff; gl_Position = vec4(position + a + b, 0.0, 1.0); "
    "}\n";
const char* FS = "#version 150\nin vec2 t;\nout vec4 c;\nvoid main() { c = vec4(t, 0.0, 1.0); }\n";

using Glpr = GlTest;

TEST_F(Glpr, EveryGameProgramBuildsValidatesAndFindsItsUniforms) {
  uint32_t programs[SHADERS_COUNT] = {};
  const std::string log = gl_logged([&] { shaders_load(programs); });
  EXPECT_EQ(gl_count(log, "ERR"), 0) << log;
  for (int i = 0; i < SHADERS_COUNT; i++) {
    const shaders_program& s = shaders_programs[i];
    ASSERT_NE(programs[i], 0u) << s.name;
    glValidateProgram(programs[i]);
    GLint valid = 0;
    glGetProgramiv(programs[i], GL_VALIDATE_STATUS, &valid);
    EXPECT_TRUE(valid) << s.name;
    glpr_use(programs[i]);
    char names[256];
    snprintf(names, sizeof names, "%s", s.uniforms);
    for (char* n = strtok(names, ","); n; n = strtok(nullptr, ","))
      EXPECT_GE(glpr_uniform(n), 0) << s.name << " " << n;
    GLint active = 0;
    glGetProgramiv(programs[i], GL_ACTIVE_UNIFORMS, &active);
    EXPECT_EQ(active, 1 + (int)std::count(s.uniforms, s.uniforms + strlen(s.uniforms), ','))
        << s.name;
  }
  shaders_delete(programs);
  EXPECT_EQ(programs[0], 0u);
}

TEST_F(Glpr, AttributeWordsBindOnlyWhenWhole) {
  const struct {
    const char* list;
    GLint uv, uvoff;  // -1: any location but 2 (not bound by us)
  } cases[] = {{"position,uvoff", -1, 7}, {"position,uv", 2, -1}, {"position, uv", 2, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    uint32_t p = 0;
    ASSERT_TRUE(glpr_load("attr", &p, VS, FS, c.list, ""));
    EXPECT_EQ(glGetAttribLocation(p, "position"), 0);
    const GLint uv = glGetAttribLocation(p, "uv");
    EXPECT_TRUE(c.uv >= 0 ? uv == c.uv : uv != 2) << uv;
    if (c.uvoff >= 0) {
      EXPECT_EQ(glGetAttribLocation(p, "uvoff"), c.uvoff);
    }
    glDeleteProgram(p);
  }
}

TEST_F(Glpr, LookupStaysInsideTheProgramInUse) {
  uint32_t first = 0, bare = 0, second = 0;
  const int32_t before = glpr_numu;
  ASSERT_TRUE(glpr_load("first", &first, VS, FS, "position,uv,uvoff", "a,b"));
  ASSERT_TRUE(glpr_load("bare", &bare, VS, FS, "position,uv,uvoff", ""));
  ASSERT_TRUE(glpr_load("second", &second, VS, FS, "position,uv,uvoff", "b"));
  EXPECT_EQ(glpr_numu, before + 3);

  glpr_use(first);
  EXPECT_EQ(glpr_uniform("b"), glGetUniformLocation(first, "b"));
  // The bare program has no uniforms: the later program's "b" is not its.
  glpr_use(bare);
  EXPECT_EQ(gl_logged([] { EXPECT_EQ(glpr_uniform("b"), -1); }), "ERR uniform 'b' not found.\n");
  glpr_use(second);
  EXPECT_EQ(gl_count(gl_logged([] { EXPECT_EQ(glpr_uniform("a"), -1); }), "ERR"), 1);

  // A program built again may get a deleted program's GL name: its own slots answer.
  glDeleteProgram(first);
  uint32_t again = 0;
  ASSERT_TRUE(glpr_load("again", &again, VS, FS, "position,uv,uvoff", "b,a"));
  glpr_use(again);
  EXPECT_EQ(glpr_uniform("a"), glGetUniformLocation(again, "a"));
  for (uint32_t p : {bare, second, again}) glDeleteProgram(p);
}

// The driver's own words follow the message on its one line.
TEST_F(Glpr, BuildFailureLogsTheDriversMessageOnOneErrLine) {
  const char* bad = "#version 150\nvoid main() { undeclared = 1; }\n";
  const char* fs_needs =
      "#version 150\nvec4 nowhere();\nout vec4 c;\nvoid main() { c = nowhere(); }\n";
  const struct {
    const char *vs, *fs, *err;
    size_t words;
  } cases[] = {
      {bad, FS, "ERR Failed to compile vertex shader fail: ", 3},
      {VS, bad, "ERR Failed to compile fragment shader fail: ", 3},
      {VS, fs_needs, "ERR Failed to link program fail: ", 3},
      {nullptr, FS, "ERR Failed to compile vertex shader fail", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.err);
    uint32_t p = 77;
    const int32_t before = glpr_numu;
    bool ok = true;
    const std::string log =
        gl_logged([&] { ok = glpr_load("fail", &p, c.vs, c.fs, "position", "a"); });
    EXPECT_FALSE(ok);
    EXPECT_EQ(gl_count(log, "ERR"), 1) << log;
    const size_t at = log.find(c.err);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GT(log.find('\n', at), at + strlen(c.err) + c.words) << log;
    EXPECT_EQ(glpr_numu, before);
    if (c.fs == fs_needs) {
      EXPECT_EQ(p, 0u);
    }
  }
}

}  // namespace
