// Turns compiled-in model records into GL vertex arrays and buffers once and
// binds them for drawing. An instanced model gets three buffer sets used in
// turn, one per frame: its vertices followed by one 4x4 matrix per instance.
#pragma once
#include <cstdint>

#include "geomdesc.h"

#define GEOMDB_MAX_SZ 64

struct geomdb_entry {
  geomdesc* desc;
  uint32_t numInst;
  bool uv;  // textured layout, with a 2-vector per instance behind the matrices
};

extern geomdb_entry geomdb_entries[GEOMDB_MAX_SZ];
extern int32_t geomdb_sz;
extern int32_t geomdb_set;  // the buffer set of this frame, 0..2

// Bytes of an instanced triangle buffer's store.
int32_t geomdb_instanced_size(const geomdesc* d, uint32_t numInst, bool uv);

bool geomdb_add(geomdesc* d, uint32_t numInst, bool uv);
// Remakes what a lost or destroyed context took; returns the entries made.
int32_t geomdb_load_vbos();
// Deletes every vertex array and buffer of a record; whether it had any.
bool geomdb_delete_desc(geomdesc* d);
// Deletes those of every entry; returns the entries that had any.
int32_t geomdb_delete_vbos();
// Deletes the entries' GL objects, then forgets every entry, as in a fresh
// process. With their context current, or after it went (GL ignores names
// a new context never made).
void geomdb_reset();
// Gives this frame's buffers of an instanced record a fresh store.
bool geomdb_orphan_instances(geomdesc* d);
// A fresh store for buffer set `set` of an instanced record: trisbytes for
// the triangles with the vertices written at the front, and the outline's
// vertices followed by numInst matrices.
void geomdb_respecify(const geomdesc* d, int set, int32_t trisbytes, uint32_t numInst);
void geomdb_bind(const geomdesc* d, bool outline);
// The frame drawing's step to the next buffer set, once per game frame.
void geomdb_next_set();
bool geomdb_create_static_vbos(geomdesc* d, bool uv);
bool geomdb_create_instanced_vbos(geomdesc* d, uint32_t numInst, int set, bool uv);
