// Cats: small physics bodies that walk down field 9 towards a few chosen
// workers (the targets), sit down when they reach one, and move on once a
// target grows crowded with cats and is dropped.
#pragma once
#include <chipmunk/chipmunk.h>

#include <cstdint>
#include <cstdio>

#include "wld.h"

#define MAXCATS 256
#define MAXCATTGTS 128

extern int32_t cats_count;
extern float cats_pos[MAXCATS][3];  // x, y in cells, z in world units; the saved record
extern cpBody* cats_body[MAXCATS];  // null until created
extern cpShape* cats_shape[MAXCATS];
extern int32_t cats_cidx[MAXCATS];  // cell under the cat
extern float cats_dirx[MAXCATS];    // steering direction of the last mover pass
extern float cats_diry[MAXCATS];
extern uint32_t cats_walking[MAXCATS];  // 1 walking, 0 sitting
extern float cats_sittime[MAXCATS];     // seconds of sitting left
extern float cats_phase[MAXCATS];       // walk animation phase, -pi..pi
extern float cats_trfs[MAXCATS][16];    // instance matrix, leg swing in element 15

extern int32_t cats_tgt_count;
extern int32_t cats_tgt[MAXCATTGTS];       // crowd index of a targeted worker, never twice
extern float cats_tgt_value[MAXCATTGTS];   // 0 when added, sinks with the cats around it
extern int32_t cats_tgt_cursor;            // round-robin position of the target check
extern uint8_t cats_cellcount[GRIDCELLS];  // cats per cell (saturating)
// The cats' own random stream (target picks, sit times); a new game goes on
// with it.
extern uint32_t cats_rng;

// Start values: no cats, no targets, every record zero, the generator at its
// seed; bodies still in a space are removed and freed first.
void cats_reset();
// Appends a walking cat at (x, y, z) without a body; its index, or -1 (logged)
// when MAXCATS cats exist or the position is not finite. The caller follows
// with cats_create_bodies.
int cats_add(float x, float y, float z);
// Bodies and shapes for every cat that has none, in wld_space; how many.
int cats_create_bodies();
// Removes every cat's shape and body from its space and frees them; how many.
int cats_destroy_bodies();
// The cat nearest to (x, y), its distance written to *dist; -1 (dist left
// alone) without cats.
int cats_nearest(float x, float y, float* dist);
// cats_cidx and z of every cat from its x, y.
void cats_update_heights();
// Once per frame: x, y from the bodies, the walk phase and cats_trfs.
void cats_update_poses(float dt);
// Picks a worker that is not yet a target; its crowd index, or -1 when the
// target list is full.
int cats_add_target();
// Drops the target at the cursor; the last target takes its place.
void cats_remove_target();
// Sinks each target's value by the cats around it, and stamps the targets'
// cells and values into wld_catflags and wld_catweight.
void cats_build_target_field();
// The cats' mover, run by field 9's job on a pool thread: writes only the
// cats' own arrays, the targets and the cat bodies' velocities.
void cats_update(float dt, const float* flowx, const float* flowy, const float* costw,
                 const float* coste, const float* costn, const float* costs);
// out != 0 writes the count line and the 256 position records, else reads
// them. A damaged section changes nothing and returns false; a good one
// replaces every cat's record and clears the targets, leaving the bodies to
// the caller (cats_destroy_bodies, then cats_create_bodies).
bool cats_serialize(int out, FILE* txt, FILE* bin);
