#include "geomdb.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <cstring>

#include "log.h"

geomdb_entry geomdb_entries[GEOMDB_MAX_SZ];
int32_t geomdb_sz;
int32_t geomdb_set;

static const GLsizei MATRIX_BYTES = 64;
static const GLsizei UVOFF_BYTES = 8;

static const void* at(intptr_t offset) { return (const void*)offset; }

int32_t geomdb_instanced_size(const geomdesc* d, uint32_t numInst, bool uv) {
  return d->trisz + (MATRIX_BYTES + (uv ? UVOFF_BYTES : 0)) * (int32_t)numInst;
}

static int32_t geomdb_find(const geomdesc* d) {
  for (int32_t i = 0; i < geomdb_sz; i++)
    if (geomdb_entries[i].desc == d) return i;
  return -1;
}

// Whether the last buffer set needed anything made.
static bool geomdb_make_vbos(const geomdb_entry& e) {
  if (e.numInst <= 1) return geomdb_create_static_vbos(e.desc, e.uv);
  bool made = false;
  for (int set = 0; set < 3; set++)
    made = geomdb_create_instanced_vbos(e.desc, e.numInst, set, e.uv);
  return made;
}

int32_t geomdb_load_vbos() {
  int32_t made = 0;
  for (int32_t i = 0; i < geomdb_sz; i++) made += geomdb_make_vbos(geomdb_entries[i]);
  return made;
}

bool geomdb_delete_desc(geomdesc* d) {
  bool had = false;
  for (int slot = 0; slot < 6; slot++) {
    if (!d->vbos[slot]) continue;
    glDeleteVertexArrays(1, &d->vaos[slot]);
    glDeleteBuffers(1, &d->vbos[slot]);
    d->vaos[slot] = d->vbos[slot] = 0;
    had = true;
  }
  return had;
}

int32_t geomdb_delete_vbos() {
  int32_t deleted = 0;
  for (int32_t i = 0; i < geomdb_sz; i++) deleted += geomdb_delete_desc(geomdb_entries[i].desc);
  return deleted;
}

void geomdb_reset() {
  geomdb_delete_vbos();
  memset(geomdb_entries, 0, sizeof geomdb_entries);
  geomdb_sz = 0;
  geomdb_set = 0;
}

bool geomdb_add(geomdesc* d, uint32_t numInst, bool uv) {
  if (geomdb_sz == GEOMDB_MAX_SZ) {
    LOG("ERR geomdb exceeded max capacity of %d entries.", GEOMDB_MAX_SZ);
    return false;
  }
  if (geomdb_find(d) >= 0) return false;
  geomdb_entries[geomdb_sz] = {d, numInst, uv};
  if (!geomdb_make_vbos(geomdb_entries[geomdb_sz])) {
    LOG("ERR Failed to create vbo for geomdesc. numt=%d", d->numt);
    return false;
  }
  geomdb_sz++;
  return true;
}

// Attributes 0 to 2 of the triangle layouts: position, normal, colour or uv.
static void geomdb_point_triangles(bool uv) {
  const GLsizei stride = uv ? 32 : 36;
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, stride, at(0));
  glVertexAttribPointer(1, 3, GL_FLOAT, GL_FALSE, stride, at(12));
  glVertexAttribPointer(2, uv ? 2 : 3, GL_FLOAT, GL_FALSE, stride, at(24));
  glEnableVertexAttribArray(0);
  glEnableVertexAttribArray(1);
  glEnableVertexAttribArray(2);
}

// Attributes 3 to 6: one matrix column each, per instance, behind base bytes.
static void geomdb_point_matrices(int32_t base) {
  for (GLuint c = 0; c < 4; c++) {
    glVertexAttribPointer(3 + c, 4, GL_FLOAT, GL_FALSE, MATRIX_BYTES, at(base + 16 * c));
    glVertexAttribDivisor(3 + c, 1);
    glEnableVertexAttribArray(3 + c);
  }
}

static void geomdb_point_lines() {
  glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 12, at(0));
  glEnableVertexAttribArray(0);
}

static void geomdb_make(geomdesc* d, int index) {
  glGenVertexArrays(1, &d->vaos[index]);
  ASSERT(d->vaos[index]);
  glBindVertexArray(d->vaos[index]);
  glGenBuffers(1, &d->vbos[index]);
  ASSERT(d->vbos[index]);
  glBindBuffer(GL_ARRAY_BUFFER, d->vbos[index]);
}

static void geomdb_unbind() {
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

bool geomdb_create_static_vbos(geomdesc* d, bool uv) {
  bool made = false;
  if (d->vbos[0] == 0 && d->numt != 0) {
    geomdb_make(d, 0);
    glBufferData(GL_ARRAY_BUFFER, d->trisz, d->tris, GL_STATIC_DRAW);
    geomdb_point_triangles(uv);
    geomdb_unbind();
    made = true;
  }
  if (d->vbos[1] == 0 && d->numl != 0) {
    geomdb_make(d, 1);
    glBufferData(GL_ARRAY_BUFFER, d->linesz, d->lines, GL_STATIC_DRAW);
    geomdb_point_lines();
    geomdb_unbind();
    return true;
  }
  return made;
}

bool geomdb_create_instanced_vbos(geomdesc* d, uint32_t numInst, int set, bool uv) {
  const int b0 = 2 * set, b1 = 2 * set + 1;
  bool made = false;
  if (d->vbos[b0] == 0 && d->numt != 0) {
    geomdb_make(d, b0);
    glBufferData(GL_ARRAY_BUFFER, geomdb_instanced_size(d, numInst, uv), nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, d->trisz, d->tris);
    geomdb_point_triangles(uv);
    if (uv) {
      glVertexAttribPointer(7, 2, GL_FLOAT, GL_FALSE, UVOFF_BYTES,
                            at(d->trisz + MATRIX_BYTES * numInst));
      glVertexAttribDivisor(7, 1);
      glEnableVertexAttribArray(7);
    }
    geomdb_point_matrices(d->trisz);
    geomdb_unbind();
    made = true;
  }
  if (d->vbos[b1] == 0 && d->numl != 0) {
    geomdb_make(d, b1);
    glBufferData(GL_ARRAY_BUFFER, d->linesz + MATRIX_BYTES * numInst, nullptr, GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, d->linesz, d->lines);
    geomdb_point_lines();
    geomdb_point_matrices(d->linesz);
    geomdb_unbind();
    return true;
  }
  return made;
}

bool geomdb_orphan_instances(geomdesc* d) {
  const int32_t i = geomdb_find(d);
  if (i < 0) return false;
  const geomdb_entry& e = geomdb_entries[i];
  const int b0 = 2 * geomdb_set;
  ASSERT(d->vbos[b0]);
  ASSERT(e.numInst);
  // The same size as at creation: attribute 7 of a textured model reads behind the matrices.
  geomdb_respecify(d, geomdb_set, geomdb_instanced_size(d, e.numInst, e.uv), e.numInst);
  return true;
}

void geomdb_respecify(const geomdesc* d, int set, int32_t trisbytes, uint32_t numInst) {
  const int b0 = 2 * set;
  glBindBuffer(GL_ARRAY_BUFFER, d->vbos[b0]);
  glBufferData(GL_ARRAY_BUFFER, trisbytes, nullptr, GL_STREAM_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, d->trisz, d->tris);
  if (d->vbos[b0 + 1]) {
    glBindBuffer(GL_ARRAY_BUFFER, d->vbos[b0 + 1]);
    glBufferData(GL_ARRAY_BUFFER, d->linesz + (GLsizeiptr)MATRIX_BYTES * numInst, nullptr,
                 GL_STREAM_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, d->linesz, d->lines);
  }
}

void geomdb_bind(const geomdesc* d, bool outline) {
  const bool instanced = d->vbos[2] || d->vbos[3];
  const int buffernr = (outline ? 1 : 0) + (instanced ? 2 * geomdb_set : 0);
  ASSERT(d->vbos[buffernr]);
  ASSERT(d->vaos[buffernr] > 0);
  glBindVertexArray(d->vaos[buffernr]);
  glBindBuffer(GL_ARRAY_BUFFER, d->vbos[buffernr]);
}

void geomdb_next_set() { geomdb_set = (geomdb_set + 1) % 3; }
