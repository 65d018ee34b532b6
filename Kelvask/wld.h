// The world: grids, flags, selection.
#pragma once

extern int wld_selected;     // picked worker, -1 none
extern int wld_selectedcat;  // picked cat, -1 none
