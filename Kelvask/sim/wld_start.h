// A new game on a terrain map: the height map file, a new world, the first
// tax office and the first worker of each trade.
#pragma once

#define WLD_MAPFILE "testmaps/terrain.pgm"
#define WLD_FIRST_TAXC_X 61
#define WLD_FIRST_TAXC_Y 59

// Reads a binary 128x128 grey map (maxval 255, comments allowed in its
// header) whose bytes / 4 are the heights, then starts a new game on it.
// False (logged "ERR ...") when the file is missing, not a regular file,
// malformed, or has no land for the first tax office; the running world is
// then left as it was.
bool wld_start_map(const char* path);
// A new game on the terrain in wld_height: a new world, the first tax office
// and one worker of each trade queued, running. False (logged, nothing
// changed) when the terrain has no site for that office.
bool wld_start_new_game();
