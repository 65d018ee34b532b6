#include "wld_start.h"

#include <cctype>
#include <cstdio>

#include "log.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_state.h"

// The map is read whole into this buffer before anything of the running
// world is touched, so a bad file changes nothing.
static uint8_t map_bytes[GRIDCELLS];

static bool read_map(const char* path) {
  FILE* f = fopen(path, "rb");
  if (!f) {
    LOG("ERR Cannot open the terrain map %s.", path);
    return false;
  }
  int w = 0, h = 0;
  char sep = 0;
  int scanned = fscanf(f, "P5 %d %d 255%c", &w, &h, &sep);
  bool ok = false;
  if (scanned != 3 || !isspace((unsigned char)sep))
    LOG("ERR The terrain map %s is not a binary grey map of maxval 255.", path);
  else if (w != GRIDSZ || h != GRIDSZ)
    LOG("ERR The terrain map %s is %dx%d, not %dx%d.", path, w, h, GRIDSZ, GRIDSZ);
  else if (fread(map_bytes, GRIDCELLS, 1, f) != 1)
    LOG("ERR The terrain map %s is truncated.", path);
  else
    ok = true;
  fclose(f);
  return ok;
}

bool wld_start_map(const char* path) {
  if (!read_map(path)) return false;
  // The map's grey levels are four times the height steps; the border is
  // water so nothing walks off the grid.
  for (int c = 0; c < GRIDCELLS; c++) wld_height[c] = wld_is_border(c) ? 0 : map_bytes[c] >> 2;
  wld_init();
  if (wld_add_taxc(WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y) < 0)
    LOG("ERR The first tax office does not fit at (%d, %d).", WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y);
  wld_started = 1;
  for (int q = 0; q < TRADECNT; q++) spawnqueues[q] += 1;
  return true;
}
