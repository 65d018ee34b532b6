#include "crowd_draw.h"

#include <epoxy/gl.h>

#include "crowd.h"
#include "geomdb.h"
#include "glpr.h"
#include "log.h"
#include "matrix.h"
#include "modeldb.h"
#include "models.h"
#include "txdb_raw.h"
#include "wld_state.h"

void wld_view_projection(const float cam[5][16], float* out) { mat4_mul(cam[2], out, cam[1]); }

static void wld_set_camera(const float* m) {
  glUniformMatrix4fv(glpr_uniform("modelcamviewprojmat"), 1, GL_FALSE, m);
  glUniform1i(glpr_uniform("texturemap"), 0);
}

int32_t wld_crowd_draw(const float cam[5][16]) {
  geomdesc* d = &geomdesc_mappedcarrier;
  const bool orphaned = modeldb_orphan_instances(d);
  ASSERT(orphaned);
  modeldb_bind(d);
  // The pose step wrote every member's transform, resting ones scaled to nothing.
  glBufferSubData(GL_ARRAY_BUFFER, d->trisz, (GLsizeiptr)crowd_sz * MODELDB_MATRIX_BYTES, wld_trfs);
  float vp[16];
  wld_view_projection(cam, vp);
  wld_set_camera(vp);
  txdb_use("carriermap.pkm");
  glDrawArraysInstanced(GL_TRIANGLES, 0, d->numt * 3, crowd_sz);
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return 1;
}

int32_t wld_crowd_draw_ground(const float cam[5][16]) {
  // Mesh vertex (i, j, h) lands at the centre of cell (i, j), 0.15 h - 0.075 high.
  static const float MODEL[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0.15f, 0, 0.5f, 0.5f, -0.075f, 1};
  static const struct {
    const char* texture;
    geomdesc* mesh;
  } GROUND[3] = {{"terrain_grn.pkm", &geomdesc_mappedterraingrn},
                 {"terrain_ylw.pkm", &geomdesc_mappedterrainylw},
                 {"terrain_blu.pkm", &geomdesc_mappedterrainblu}};
  float vp[16], m[16];
  wld_view_projection(cam, vp);
  mat4_mul(vp, m, MODEL);
  wld_set_camera(m);
  int32_t calls = 0;
  for (const auto& g : GROUND) {
    txdb_use(g.texture);
    geomdb_bind(g.mesh, false);
    glDrawArrays(GL_TRIANGLES, 0, g.mesh->numt * 3);
    calls++;
  }
  glBindVertexArray(0);
  return calls;
}
