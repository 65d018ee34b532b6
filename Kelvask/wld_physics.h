// The physics space and the workers' rigid bodies.
#pragma once
#include <chipmunk/chipmunk.h>

#include "crowd.h"

extern cpSpace* wld_space;  // null before the first new world and after wld_exit
extern cpBody* wld_bodies[CROWDSZ];   // null for dead members and unused slots
extern cpShape* wld_shapes[CROWDSZ];

// A fresh, empty space; an existing one is torn down first (wld_exit).
void wld_create_space();
// Member i's body and circle, added to the space. Refused (false, logged)
// without a space, for an index off the crowd, a member that already has a
// body, or a position that is not finite.
bool wld_add_body(int i, float x, float y);
// Removes and frees every member's body and shape; returns how many.
int wld_remove_bodies();
// Tears down bodies, walls and the space.
void wld_exit();
