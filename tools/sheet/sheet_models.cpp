#include "sheet_models.h"

#include <epoxy/gl.h>

#include <cfloat>
#include <cmath>
#include <cstring>

#include "geomdb.h"
#include "glpr.h"
#include "log.h"
#include "matrix.h"
#include "models.h"
#include "text.h"
#include "txdb_raw.h"

// Faces take their normal from the screen derivatives of the world position,
// so one program serves the coloured, the textured and the carrier layouts.
static const char* const lit_vs = R"glsl(#version 150
uniform mat4 modelcamviewprojmat;
uniform mat4 model;
in vec4 position;
in vec3 rgb;
out vec3 attr;
out vec3 wpos;
void main() {
  wpos = (model * position).xyz;
  attr = rgb;
  gl_Position = modelcamviewprojmat * position;
}
)glsl";
static const char* const lit_fs = R"glsl(#version 150
uniform sampler2D texturemap;
uniform int textured;
in vec3 attr;
in vec3 wpos;
out vec4 fragcolour;
void main() {
  vec3 n = normalize(cross(dFdx(wpos), dFdy(wpos)));
  float light = 0.3 + 0.8 * max(dot(n, normalize(vec3(-0.8, -0.3, 0.5))), 0.0);
  vec3 base = textured != 0 ? texture(texturemap, vec2(attr.x, 1.0 - attr.y)).rgb : attr;
  fragcolour = vec4(base * light, 1.0);
}
)glsl";

struct sheet_model {
  geomdesc* desc;
  int stride;           // floats a vertex
  const char* texture;  // null: coloured
};

static const sheet_model sheet_models[] = {
    {&geomdesc_stone, 9, nullptr},
    {&geomdesc_buildmark, 9, nullptr},
    {&geomdesc_food, 9, nullptr},
    {&geomdesc_grain, 9, nullptr},
    {&geomdesc_bucke, 9, nullptr},
    {&geomdesc_buckf, 9, nullptr},
    {&geomdesc_platee, 9, nullptr},
    {&geomdesc_platef, 9, nullptr},
    {&geomdesc_sickle, 9, nullptr},
    {&geomdesc_farm, 9, nullptr},
    {&geomdesc_bakery, 9, nullptr},
    {&geomdesc_catsit, 9, nullptr},
    {&geomdesc_catstand, 9, nullptr},
    {&geomdesc_cursormdpos, 9, nullptr},
    {&geomdesc_cursormdneg, 9, nullptr},
    {&geomdesc_cursorarea, 9, nullptr},
    {&geomdesc_mappedbakery, 8, "bakerymap.pkm"},
    {&geomdesc_mappedtent, 8, "tentmap.pkm"},
    {&geomdesc_mappedtaxcollector, 8, "taxcollectormap.pkm"},
    {&geomdesc_mappedterraingrn, 8, "terrain_grn.pkm"},
    {&geomdesc_mappedterrainylw, 8, "terrain_ylw.pkm"},
    {&geomdesc_mappedterrainblu, 8, "terrain_blu.pkm"},
    {&geomdesc_mappedcarrier, 7, "carriermap.pkm"},
};
static const int SHEET_MODELS = sizeof sheet_models / sizeof sheet_models[0];

// The carrier's layout (position, uv, limb weights) is not the registry's.
static void sheet_bind_carrier(const geomdesc* d) {
  static GLuint vao, vbo;
  if (!vao) {
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    glGenBuffers(1, &vbo);
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferData(GL_ARRAY_BUFFER, d->trisz, d->tris, GL_STATIC_DRAW);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 28, (const void*)0);
    glVertexAttribPointer(2, 2, GL_FLOAT, GL_FALSE, 28, (const void*)12);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(2);
  }
  glBindVertexArray(vao);
}

// Centre and largest half extent of the model's vertices.
static void sheet_bounds(const sheet_model& m, float* centre, float* half) {
  float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX}, hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
  for (int v = 0; v < m.desc->numt * 3; v++)
    for (int k = 0; k < 3; k++) {
      const float x = m.desc->tris[v * m.stride + k];
      lo[k] = fminf(lo[k], x), hi[k] = fmaxf(hi[k], x);
    }
  *half = 0;
  for (int k = 0; k < 3; k++) {
    centre[k] = 0.5f * (lo[k] + hi[k]);
    *half = fmaxf(*half, 0.5f * (hi[k] - lo[k]));
  }
}

// Orthographic view from the south-west, 35 degrees above the ground, of the
// model scaled into the unit cube.
static void sheet_matrices(const float* centre, float half, float* mvp, float* model) {
  const float s = 0.55f / (half > 0 ? half : 1);
  mat4_identity(model);
  model[0] = model[5] = model[10] = s;
  for (int k = 0; k < 3; k++) model[12 + k] = -centre[k] * s;
  const float yaw = -0.6f, pitch = -0.95f;
  float rz[16], rx[16], view[16];
  mat4_identity(rz);
  rz[0] = cosf(yaw), rz[1] = sinf(yaw), rz[4] = -sinf(yaw), rz[5] = cosf(yaw);
  mat4_identity(rx);
  rx[5] = cosf(pitch), rx[6] = sinf(pitch), rx[9] = -sinf(pitch), rx[10] = cosf(pitch);
  mat4_mul(rx, view, rz);
  view[10] *= -0.5f, view[6] *= -0.5f, view[2] *= -0.5f;  // depth range, nearer is smaller
  mat4_mul(view, mvp, model);
}

void sheet_draw_models(int top, int sheet_w, int sheet_h) {
  uint32_t program = 0;
  if (!glpr_load("SheetLit", &program, lit_vs, lit_fs, "position,rgb",
                 "modelcamviewprojmat,model,texturemap,textured"))
    return;
  const int cols = 12, cw = (sheet_w - 16) / cols, ch = 126;
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_BLEND);
  for (int i = 0; i < SHEET_MODELS; i++) {
    const sheet_model& m = sheet_models[i];
    const int x = 8 + (i % cols) * cw, y = top + (i / cols) * (ch + 4);
    glViewport(x, sheet_h - y - ch, cw - 4, ch - 16);
    glClear(GL_DEPTH_BUFFER_BIT);
    glpr_use(program);
    float centre[3], half, mvp[16], model[16];
    sheet_bounds(m, centre, &half);
    sheet_matrices(centre, half, mvp, model);
    glUniformMatrix4fv(glpr_uniform("modelcamviewprojmat"), 1, GL_FALSE, mvp);
    glUniformMatrix4fv(glpr_uniform("model"), 1, GL_FALSE, model);
    glUniform1i(glpr_uniform("texturemap"), 0);
    glUniform1i(glpr_uniform("textured"), m.texture != nullptr);
    if (m.texture) txdb_use(m.texture);
    if (m.stride == 7) {
      sheet_bind_carrier(m.desc);
    } else {
      if (!m.desc->vbos[0]) geomdb_add(m.desc, 1, m.texture != nullptr);
      geomdb_bind(m.desc, false);
    }
    glDrawArrays(GL_TRIANGLES, 0, 3 * m.desc->numt);
    glBindVertexArray(0);
    glViewport(x, sheet_h - y - ch, cw - 4, 16);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    const float pos[3] = {0, 0.95f, 0}, size[3] = {0.12f, 0.75f, 0};
    sheet_use_font(0.9f, 0.9f, 0.8f);
    text_draw(m.desc->name, pos, size, "center", "top");
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
  }
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glDeleteProgram(program);
}
