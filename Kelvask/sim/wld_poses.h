// The per-frame step that turns the physics bodies into what is shown and
// what the world reads back: member and cat transforms with their walk
// phases, carried items and blocks at their carriers, plant heights, tool
// instances. It needs no GL context; the world update runs it once per frame
// whether or not anything is drawn, and the draws only upload its results.
#pragma once

// Parabolic sine of p in -pi..pi, used for the walk animations.
float wld_parabolic_sine(float p);
// Advances a walk phase by step radians and keeps it in -pi..pi whatever the
// step; a step that is not finite starts the walk again at 0.
void wld_advance_phase(float* phase, float step);
// Positions from the bodies, walk phases and the transforms in wld_trfs of
// every living member.
void wld_update_member_transforms(float dt);
// Everything above, in the order the frame needs it.
void wld_update_poses(float dt);
