#include "wld_poses.h"

#include <cmath>

#include "buckets.h"
#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "plates.h"
#include "sickles.h"
#include "stones.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_state.h"

float wld_parabolic_sine(float p) { return 1.2732395f * p - 0.40528473f * p * fabsf(p); }

void wld_advance_phase(float* phase, float step) {
  // A jammed body is pushed fast enough for a step of many turns: taking off
  // one turn a frame would let the phase, and the swing from it, grow without
  // end. An ordinary step past pi loses exactly one turn.
  const float p = remainderf(*phase + step, 2.0f * (float)M_PI);
  *phase = std::isfinite(p) ? p : 0.0f;
}

void wld_update_member_transforms(float dt) {
  for (int i = 0; i < crowd_sz; i++) {
    // The dead keep the lying transform the world gave them.
    if (crowd_goal[i] == JOB_DEAD || !wld_bodies[i]) continue;
    cpBody* b = wld_bodies[i];
    cpVect rot = cpBodyGetRotation(b), p = cpBodyGetPosition(b);
    crowd_posx[i] = (float)p.x;
    crowd_posy[i] = (float)p.y;
    float speed = (float)cpvlength(cpBodyGetVelocity(b));
    float turn = fabsf((float)cpBodyGetAngularVelocity(b));
    float anim = fmaxf(1.1f * speed, fminf(1.2f, 0.8f * turn));
    wld_advance_phase(&crowd_phase[i], anim * 26.0f * dt);
    float swing = anim * 0.9f * wld_parabolic_sine(crowd_phase[i]);
    // Resting in a hut: scaled to nothing, so the member is not seen.
    float k = crowd_goal[i] == JOB_RESTING ? 0.0f : 1.0f;
    float c = (float)rot.x * k, s = (float)rot.y * k;
    float* m = wld_trfs[i];
    const float cols[16] = {
        c, s, 0, 0, -s, c, 0, 0, 0, 0, k, 0, (float)p.x, (float)p.y, crowd_groundz[i], swing};
    for (int e = 0; e < 16; e++) m[e] = cols[e];
  }
}

void wld_update_poses(float dt) {
  crowd_sample_height();
  wld_update_member_transforms(dt);
  cats_update_heights();
  cats_update_poses(dt);
  // Carried things follow the transforms just written.
  stones_update_instances(wld_trfs);
  food_follow_carriers(wld_trfs);
  grain_follow_carriers(wld_trfs);
  buckets_update_instances(wld_trfs);
  plates_update_instances(wld_trfs);
  sickles_update_instances(wld_trfs);
  farms_update_plants();
}
