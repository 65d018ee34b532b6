#include "wld_physics.h"

#include <cmath>

#include "cats.h"
#include "log.h"
#include "wld_walls.h"

cpSpace* wld_space = nullptr;
cpBody* wld_bodies[CROWDSZ];
cpShape* wld_shapes[CROWDSZ];

void wld_create_space() {
  // A restart without a crowd reaches here with the old space still standing;
  // its walls would otherwise block every wall of the new one.
  if (wld_space) wld_exit();
  wld_space = cpSpaceInit(cpSpaceAlloc());
  cpSpaceSetIterations(wld_space, 5);
}

bool wld_add_body(int i, float x, float y) {
  if (i < 0 || i >= CROWDSZ) {
    LOG("ERR No crowd member %d to add a body for", i);
    return false;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) {
    LOG("ERR Body of member %d refused at a position that is not finite", i);
    return false;
  }
  if (!wld_space) {
    LOG("ERR No physics space for the body of member %d", i);
    return false;
  }
  if (wld_bodies[i]) {
    LOG("ERR Member %d already has a body", i);
    return false;
  }
  wld_new_circle(1.0, 0.3, x, y, &wld_bodies[i], &wld_shapes[i]);
  return true;
}

void wld_new_circle(double mass, double radius, float x, float y, cpBody** body, cpShape** shape) {
  ASSERT(wld_space);
  *body = cpBodyNew(mass, cpMomentForCircle(1.0, 0.0, 0.2, cpvzero));
  cpBodySetPosition(*body, cpv(x, y));
  cpBodySetAngle(*body, -M_PI / 2);
  *shape = cpCircleShapeNew(*body, radius, cpvzero);
  cpShapeSetFriction(*shape, 0.7);
  cpSpaceAddBody(wld_space, *body);
  cpSpaceAddShape(wld_space, *shape);
}

int wld_remove_bodies() {
  LOG("Removing %d crowd bodies and shapes.", crowd_sz);
  int n = 0;
  for (int i = 0; i < CROWDSZ; i++) n += wld_remove_body(i);
  return n;
}

bool wld_remove_body(int i) {
  ASSERT(i >= 0 && i < CROWDSZ);
  if (!wld_bodies[i]) return false;
  cpSpaceRemoveShape(wld_space, wld_shapes[i]);
  cpSpaceRemoveBody(wld_space, wld_bodies[i]);
  cpShapeFree(wld_shapes[i]);
  cpBodyFree(wld_bodies[i]);
  wld_shapes[i] = nullptr;
  wld_bodies[i] = nullptr;
  return true;
}

void wld_exit() {
  wld_remove_bodies();
  int n = wld_clear_walls();
  LOG("Cleared %d wall shapes.", n);
  n = cats_destroy_bodies();
  LOG("Cleared %d cats shapes/bodies.", n);
  LOG("Freeing cpSpace.");
  if (wld_space) {
    cpSpaceFree(wld_space);
    wld_space = nullptr;
  }
}
