// Placement test for buildings and build marks, picking and dragging bodies.
#pragma once
#include <chipmunk/chipmunk.h>

#define WLD_PICKRANGE 0.8f  // farthest a pick may be from a worker or cat

// Can the controller's footprint (ctrl_footprint, ctrl_placemargin) go on
// (x, y)? ring extra rings of cells around it must be free of goal types.
// *maxheight receives the highest height byte under the footprint (left
// alone when (x, y) is off the grid).
bool wld_can_place(int x, int y, int ring, int* maxheight);
// Selects the worker or cat nearest to the ground point (x, y) in cells.
bool wld_pick(float x, float y);
// Moves the selected body by (dx, dy), kept on the grid.
bool wld_drag_selected(float dx, float dy);
// The selected cat's body, else the selected worker's; null when there is
// none (nothing selected, or the worker died).
cpBody* wld_selected_body();
