// The potential-field jobs: every frame two of the ten fields are solved on
// the thread pool, each job also deriving its flow field and moving the
// members (or, for field 9, the cats) that follow it; and the steering that
// turns each worker's move direction into its body's velocity and spin.
#pragma once
#include <chipmunk/chipmunk.h>

#include <cfloat>
#include <cstdint>

#include "threadpool.h"

extern int32_t wld_fieldframe;  // field refresh counter, never reset; mod 5 picks the pair

// Copies the bodies into the crowd, rebuilds the crowd costs and refreshes
// the frame's two fields, on the pool when one exists, and waits for them.
void wld_update_fields();
// The job of field arg->value (0..9); run inline when there is no pool.
void wld_compute_potential(task_arg* arg);
// Before every physics step: each worker's body turns and walks towards its
// move direction at one cell per second, or stops when it has none.
void wld_steer_bodies();
// d and its length plus the smallest normal double, so the body turns to d;
// when d has no usable length either, nothing (0 over 1).
cpVect wld_steer_turn(cpVect d, double* len);
// Shorter than this, a blend's direction is rounding noise: its square
// underflows long before its length reaches 0, and the division by that
// length alone would fling the body across the world.
#define WLD_STEER_LEAST 1e-6

// The steering's blend, half the old velocity and half the direction d, and
// in len what to divide it by for unit length (its length plus the smallest
// normal double). A blend that cancels (d turned straight back against the
// old velocity) or is not a number gives wld_steer_turn's instead. Inline:
// it runs for every member before every physics step.
inline cpVect wld_steer_blend(cpVect old, cpVect d, double* len) {
  const cpVect v = cpvadd(cpvmult(old, 0.5), cpvmult(d, 0.5));
  *len = cpvlength(v);
  if (!(*len >= WLD_STEER_LEAST && *len <= DBL_MAX)) return wld_steer_turn(d, len);
  *len += DBL_MIN;
  return v;
}

// Queues wld_compute_potential with the record on the pool, priority 1;
// the task id, or 0 when not queued.
uint32_t task_create(const task_arg* arg);
