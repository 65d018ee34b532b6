// The physics space and the workers' rigid bodies.
#pragma once
#include <chipmunk/chipmunk.h>

#include "crowd.h"

extern cpSpace* wld_space;           // null before the first new world and after wld_exit
extern cpBody* wld_bodies[CROWDSZ];  // null for dead members and unused slots
extern cpShape* wld_shapes[CROWDSZ];

// A fresh, empty space; an existing one is torn down first (wld_exit).
void wld_create_space();
// Member i's body and circle, added to the space. Refused (false, logged)
// without a space, for an index off the crowd, a member that already has a
// body, or a position that is not finite.
bool wld_add_body(int i, float x, float y);
// A loaded game's members, dead ones included, each given a body where it
// stands; a member in a cell fuller than play ever packs one goes to the
// nearest cell with room that it could walk to. The walls and open sides
// must stand already.
void wld_add_loaded_bodies();
// Member i, which has a body, put at (x, y) at rest.
void wld_move_body(int i, float x, float y);
// A cell with these flags has a type but no open side: a building's cell
// walled in all round, which a body gets into only by being pushed through a
// wall, and which no field leads out of.
bool wld_shut_cell(uint8_t flags);
// After the physics steps: every member with a body, but the one the player
// holds, that stands in a cell with a type and no open side (pushed through a
// building's wall) goes to the nearest cell with an open side. Returns how
// many went.
int wld_free_shut_members();
// A body of the given mass facing -y at (x, y) with a circle shape of the
// given radius and friction 0.7, both added to the space, which must exist.
// The moment is always that of a circle of mass 1 and radius 0.2: workers
// and cats turn alike whatever they weigh.
void wld_new_circle(double mass, double radius, float x, float y, cpBody** body, cpShape** shape);
// Removes and frees member i's body and shape; false when it has none.
bool wld_remove_body(int i);
// Removes and frees every member's body and shape; returns how many.
int wld_remove_bodies();
// Tears down bodies, walls and the space.
void wld_exit();
