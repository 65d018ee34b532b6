#include "modeldb.h"

#include <epoxy/gl.h>

#include <cstring>

#include "geomdb.h"
#include "log.h"

modeldb_entry modeldb_entries[MODELDB_MAX_SZ];
int32_t modeldb_sz;
int32_t modeldb_set;

static const void* at(intptr_t offset) { return (const void*)offset; }

static int32_t modeldb_find(const geomdesc* d) {
  for (int32_t i = 0; i < modeldb_sz; i++)
    if (modeldb_entries[i].desc == d) return i;
  return -1;
}

static GLsizeiptr modeldb_store_size(const geomdesc* d, int32_t numInst) {
  return d->trisz + (GLsizeiptr)numInst * MODELDB_MATRIX_BYTES;
}

int32_t modeldb_add(geomdesc* d, int32_t numInst) {
  if (modeldb_sz == MODELDB_MAX_SZ) {
    LOG("ERR modeldb exceeded max capacity of %d entries.", MODELDB_MAX_SZ);
    return 0;
  }
  if (modeldb_find(d) >= 0) return 0;
  modeldb_entries[modeldb_sz] = {d, numInst};
  bool ok = false;
  for (int b = 0; b < 3; b++) ok = modeldb_create_instanced_vbos(d, numInst, b);
  if (!ok) {
    LOG("ERR Failed to create vbo for geomdesc. numt=%d", d->numt);
    return 0;
  }
  modeldb_sz++;
  return 1;
}

static void modeldb_make(geomdesc* d, int slot) {
  glGenVertexArrays(1, &d->vaos[slot]);
  ASSERT(d->vaos[slot]);
  glBindVertexArray(d->vaos[slot]);
  glGenBuffers(1, &d->vbos[slot]);
  ASSERT(d->vbos[slot]);
  glBindBuffer(GL_ARRAY_BUFFER, d->vbos[slot]);
}

static void modeldb_attribute(GLuint index, GLint size, GLsizei stride, intptr_t offset) {
  glVertexAttribPointer(index, size, GL_FLOAT, GL_FALSE, stride, at(offset));
  glEnableVertexAttribArray(index);
}

static void modeldb_unbind() {
  glBindVertexArray(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
}

bool modeldb_create_instanced_vbos(geomdesc* d, int32_t numInst, int b) {
  const int b0 = 2 * b;
  if (d->vbos[b0] || d->numt == 0) return false;
  modeldb_make(d, b0);
  glBufferData(GL_ARRAY_BUFFER, modeldb_store_size(d, numInst), nullptr, GL_STREAM_DRAW);
  glBufferSubData(GL_ARRAY_BUFFER, 0, d->trisz, d->tris);
  // 28 bytes a vertex: position, uv, limb weights.
  modeldb_attribute(0, 3, 28, 0);
  modeldb_attribute(2, 2, 28, 12);
  modeldb_attribute(7, 2, 28, 20);
  for (GLuint c = 0; c < 4; c++) {
    modeldb_attribute(3 + c, 4, MODELDB_MATRIX_BYTES, d->trisz + 16 * c);
    glVertexAttribDivisor(3 + c, 1);
  }
  modeldb_unbind();
  return true;
}

bool modeldb_create_static_vbos(geomdesc* d) {
  bool made = false;
  if (d->vbos[0] == 0 && d->numt != 0) {
    modeldb_make(d, 0);
    glBufferData(GL_ARRAY_BUFFER, d->trisz, d->tris, GL_STATIC_DRAW);
    modeldb_attribute(0, 3, 44, 0);
    modeldb_attribute(2, 3, 44, 24);
    modeldb_attribute(7, 2, 44, 36);
    modeldb_unbind();
    made = true;
  }
  if (d->vbos[1] == 0 && d->numl != 0) {
    modeldb_make(d, 1);
    glBufferData(GL_ARRAY_BUFFER, d->linesz, d->lines, GL_STATIC_DRAW);
    modeldb_attribute(0, 3, 20, 0);
    modeldb_attribute(7, 2, 20, 12);
    modeldb_unbind();
    made = true;
  }
  return made;
}

int32_t modeldb_load_vbos() {
  LOG("loading VBOs of modeldb containing %d entries", modeldb_sz);
  int32_t loaded = 0;
  for (int32_t i = 0; i < modeldb_sz; i++) {
    const modeldb_entry& e = modeldb_entries[i];
    bool made = false;
    if (e.numInst > 1) {
      for (int b = 0; b < 3; b++) made = modeldb_create_instanced_vbos(e.desc, e.numInst, b);
    } else {
      made = modeldb_create_static_vbos(e.desc);
    }
    loaded += made;
  }
  return loaded;
}

int32_t modeldb_delete_vbos() {
  int32_t deleted = 0;
  for (int32_t i = 0; i < modeldb_sz; i++) deleted += geomdb_delete_desc(modeldb_entries[i].desc);
  return deleted;
}

void modeldb_reset() {
  modeldb_delete_vbos();
  memset(modeldb_entries, 0, sizeof modeldb_entries);
  modeldb_sz = 0;
  modeldb_set = 0;
}

bool modeldb_orphan_instances(geomdesc* d) {
  const int32_t i = modeldb_find(d);
  if (i < 0) return false;
  const modeldb_entry& e = modeldb_entries[i];
  const int b0 = 2 * modeldb_set;
  ASSERT(d->vbos[b0]);
  ASSERT(e.numInst);
  geomdb_respecify(d, modeldb_set, (int32_t)modeldb_store_size(d, e.numInst), (uint32_t)e.numInst);
  return true;
}

void modeldb_bind(const geomdesc* d) {
  const int buffernr = 2 * modeldb_set;
  ASSERT(d->vbos[buffernr]);
  ASSERT(d->vaos[buffernr] > 0);
  glBindVertexArray(d->vaos[buffernr]);
  glBindBuffer(GL_ARRAY_BUFFER, d->vbos[buffernr]);
}

void modeldb_next_set() { modeldb_set = (modeldb_set + 1) % 3; }
