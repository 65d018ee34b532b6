// The textured model registry: models whose vertices carry texture
// coordinates and a limb weight (the carrier), each with three buffer sets
// used in turn, one per frame, so that writing one frame's instance matrices
// never waits for the device to finish reading the frames before.
#pragma once
#include <cstdint>

#include "geomdesc.h"

#define MODELDB_MAX_SZ 64
#define MODELDB_MATRIX_BYTES 64

struct modeldb_entry {
  geomdesc* desc;
  int32_t numInst;
};

extern modeldb_entry modeldb_entries[MODELDB_MAX_SZ];
extern int32_t modeldb_sz;
extern int32_t modeldb_set;  // the buffer set of this frame, 0..2

// Returns 1 when registered, 0 when full, known already or not creatable.
int32_t modeldb_add(geomdesc* d, int32_t numInst);
bool modeldb_create_instanced_vbos(geomdesc* d, int32_t numInst, int b);
bool modeldb_create_static_vbos(geomdesc* d);
// The entries for which GL objects were made.
int32_t modeldb_load_vbos();
// The entries that had GL objects.
int32_t modeldb_delete_vbos();
// Deletes the entries' GL objects, then forgets every entry, as in a fresh
// process (with their context current, or after it went).
void modeldb_reset();
// Gives this frame's buffers of a model a fresh store holding its vertices.
bool modeldb_orphan_instances(geomdesc* d);
void modeldb_bind(const geomdesc* d);
void modeldb_next_set();
