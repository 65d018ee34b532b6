// A new game on a terrain map: the height map file, a new world, the first
// tax office and the first worker of each trade.
#pragma once

#define WLD_MAPFILE "testmaps/terrain.pgm"
#define WLD_FIRST_TAXC_X 61
#define WLD_FIRST_TAXC_Y 59

// Reads a binary 128x128 grey map (maxval 255) whose bytes / 4 are the
// heights, then starts a new world on it with the first tax office and one
// worker of each trade queued. False (logged "ERR ...") when the file is
// missing or malformed; the running world is then left as it was.
bool wld_start_map(const char* path);
