#include "wld_fields.h"

#include <cmath>

#include <chipmunk/chipmunk_structs.h>

#include "cats.h"
#include "crowd.h"
#include "log.h"
#include "potfield.h"
#include "wld.h"
#include "wld_physics.h"
#include "wld_state.h"

#define FIELDPAIRS 5  // two fields per frame, all ten every fifth frame
#define CATFIELD 9

int32_t wld_fieldframe;

uint32_t task_create(const task_arg* arg) {
  return threadpool_submit(wld_compute_potential, arg, 1);
}

static void copy_bodies_to_crowd() {
  for (int i = 0; i < crowd_sz; i++) {
    if (!wld_bodies[i]) continue;  // the dead keep their last values
    cpVect p = cpBodyGetPosition(wld_bodies[i]);
    cpVect v = cpBodyGetVelocity(wld_bodies[i]);
    crowd_posx[i] = (float)p.x;
    crowd_posy[i] = (float)p.y;
    crowd_velx[i] = (float)v.x;
    crowd_vely[i] = (float)v.y;
  }
}

void wld_update_fields() {
  if (!wld_started) return;
  copy_bodies_to_crowd();
  crowd_splat();
  crowd_compute_costs(crowd_costw, crowd_coste, crowd_costn, crowd_costs);
  // Unsigned, so the counter wraps instead of overflowing after years of play.
  const uint32_t frame = (uint32_t)wld_fieldframe;
  wld_fieldframe = (int32_t)(frame + 1);
  // The first field goes to the pool and this thread computes the second
  // instead of sleeping; it touches nothing else until the pool is idle, so
  // no field is read while it is written.
  const int first = 2 * (int)(frame % FIELDPAIRS);
  task_arg arg = {first, 0, 0};
  if (!threadpool_pool || !task_create(&arg)) {
    if (threadpool_pool)
      LOG("ERR Field %d could not be queued; computed on the main thread.", first);
    wld_compute_potential(&arg);
  }
  arg.value = first + 1;
  wld_compute_potential(&arg);
  threadpool_wait_idle();
}

void wld_compute_potential(task_arg* arg) {
  if (arg->value < 0 || arg->value >= GROUPCNT) {
    LOG("ERR No potential field %lld.", (long long)arg->value);
    return;
  }
  const int t = (int)arg->value;
  const uint8_t* flags = t == CATFIELD ? wld_catflags : wld_cellflags;
  const float* weights = t == CATFIELD ? wld_catweight : wld_goalweight;
  float* flowx = wld_flow[t][FLOW_X];
  float* flowy = wld_flow[t][FLOW_Y];
  potfield_solve(t, wld_potential[t], crowd_costw, crowd_coste, crowd_costn, crowd_costs,
                 potfield_state[t], flags, weights);
  crowd_flow_field(wld_potential[t], flags, flowx, flowy, nullptr);
  // A follower standing on its goal gets no push.
  for (int c = 0; c < GRIDCELLS; c++) {
    if ((flags[c] >> 4) != t + 1) continue;
    flowx[c] = 0.0f;
    flowy[c] = 0.0f;
  }
  // The field is refreshed every fifth frame; its followers cover five frames.
  const double step = FIELDPAIRS * wld_dt;
  if (t == CATFIELD)
    cats_update((float)step, flowx, flowy, crowd_costw, crowd_coste, crowd_costn, crowd_costs);
  else
    crowd_move_group(step, t, flowx, flowy, crowd_costw, crowd_coste, crowd_costn, crowd_costs);
}

cpVect wld_steer_turn(cpVect d, double* len) {
  const double dlen = cpvlength(d);
  const bool usable = dlen >= WLD_STEER_LEAST && dlen <= DBL_MAX;
  *len = usable ? dlen + DBL_MIN : 1.0;
  return usable ? d : cpvzero;
}

static float wrap_angle(float a) {
  const float pi = (float)M_PI, twopi = (float)(2.0 * M_PI);
  if (a < -pi) a += twopi;
  if (a > pi) a -= twopi;
  return a;
}

// Sleeping is off in the space, so waking the body would only reset idle
// timers nothing reads; the setters' checks cost more than the steering.
// The fields are written as the setters would write them.
static void steer(cpBody* body, cpVect d) {
  if (cpvlengthsq(d) < (double)0.001f) {  // nowhere to go: brake and stop turning
    body->v = d;
    body->w = 0.0;
    return;
  }
  // Half the old velocity keeps the walk smooth; members walk one cell a second.
  double len;
  const cpVect v = wld_steer_blend(body->v, d, &len);
  body->v = cpv(v.x / len, v.y / len);
  const float heading = wld_fast_atan2((float)d.y, (float)d.x);
  const float facing = wld_fast_atan2((float)body->transform.b, (float)body->transform.a);
  body->w = 2.0f * wrap_angle(heading - facing);
}

void wld_steer_bodies() {
  for (int i = 0; i < crowd_sz; i++)
    if (wld_bodies[i]) steer(wld_bodies[i], cpv(crowd_dirx[i], crowd_diry[i]));
}
