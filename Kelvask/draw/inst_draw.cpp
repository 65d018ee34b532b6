#include "inst_draw.h"

#include <epoxy/gl.h>

#include "crowd_draw.h"
#include "geomdb.h"
#include "glpr.h"
#include "log.h"

static int32_t inst_upload_and_draw(const float cam[5][16], const geomdesc* d, bool outline,
                                    const float (*inst)[16], int32_t n) {
  float vp[16];
  wld_view_projection(cam, vp);
  glUniformMatrix4fv(glpr_uniform("modelcamviewprojmat"), 1, GL_FALSE, vp);
  geomdb_bind(d, outline);
  glBufferSubData(GL_ARRAY_BUFFER, outline ? d->linesz : d->trisz, (GLsizeiptr)n * 64, inst);
  if (outline) {
    glDrawArraysInstanced(GL_LINES, 0, d->numl * 2, n);
  } else {
    glDrawArraysInstanced(GL_TRIANGLES, 0, d->numt * 3, n);
  }
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return 1;
}

int32_t inst_draw(const float cam[5][16], geomdesc* d, const float (*inst)[16], int32_t n) {
  if (n <= 0) return 0;
  const bool orphaned = geomdb_orphan_instances(d);
  ASSERT(orphaned);
  return inst_upload_and_draw(cam, d, false, inst, n);
}

int32_t inst_draw_lines(const float cam[5][16], const geomdesc* d, const float (*inst)[16],
                        int32_t n) {
  if (n <= 0 || d->numl == 0) return 0;
  return inst_upload_and_draw(cam, d, true, inst, n);
}
