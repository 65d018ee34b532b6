#include "wld_start.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "regfile.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_state.h"

#define SITE_REACH 2   // the office's walls reach two cells around its centre
#define SITE_MARGIN 1  // height steps allowed under an office's footprint
#define CLIFF 4        // a height step this large is a wall of the terrain

// The map is read whole into this buffer before anything of the running
// world is touched, so a bad file changes nothing.
static uint8_t map_bytes[GRIDCELLS];
static uint8_t map_heights[GRIDCELLS];

// The next header number, past white space and "#" comments to the line's end.
static bool header_number(FILE* f, int* v) {
  int c;
  while ((c = fgetc(f)) != EOF) {
    if (c == '#') {
      while ((c = fgetc(f)) != EOF && c != '\n') {
      }
      continue;
    }
    if (!isspace(c)) break;
  }
  if (c == EOF || !isdigit(c)) return false;
  long n = 0;
  for (; c != EOF && isdigit(c); c = fgetc(f)) {
    if (n > 1000000) return false;
    n = n * 10 + (c - '0');
  }
  // Exactly one white space character ends the header's last number.
  if (c == EOF || !isspace(c)) return false;
  *v = (int)n;
  return true;
}

static bool read_header(FILE* f, int* w, int* h, int* maxval) {
  return fgetc(f) == 'P' && fgetc(f) == '5' && header_number(f, w) && header_number(f, h) &&
         header_number(f, maxval);
}

static bool read_map(const char* path) {
  FILE* f = regfile_open(path, "rb");
  if (!f) {
    LOG("ERR Cannot open the terrain map %s: %s.", path, regfile_reason());
    return false;
  }
  int w = 0, h = 0, maxval = 0;
  bool ok = false;
  if (!read_header(f, &w, &h, &maxval) || maxval != 255)
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

// The first office needs land under its walls, with no cliff or shore
// between those cells (its walls would fall on the terrain's own) and its
// footprint within the office's height margin.
static bool first_site_fits(const uint8_t* heights) {
  const int x0 = WLD_FIRST_TAXC_X, y0 = WLD_FIRST_TAXC_Y;
  const int h0 = heights[y0 * GRIDSZ + x0];
  for (int y = y0 - SITE_REACH; y <= y0 + SITE_REACH; y++)
    for (int x = x0 - SITE_REACH; x <= x0 + SITE_REACH; x++) {
      int c = y * GRIDSZ + x, h = heights[c];
      if (wld_is_border(c) || h == 0) return false;
      if (x < x0 + SITE_REACH && abs(h - heights[c + 1]) >= CLIFF) return false;
      if (y < y0 + SITE_REACH && abs(h - heights[c + GRIDSZ]) >= CLIFF) return false;
      bool under = abs(x - x0) <= 1 && abs(y - y0) <= 1;
      if (under && abs(h - h0) > SITE_MARGIN) return false;
    }
  return true;
}

bool wld_start_new_game() {
  if (!first_site_fits(wld_height)) {
    LOG("ERR The terrain has no site for the first tax office at (%d, %d); no game started.",
        WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y);
    return false;
  }
  wld_init();
  if (wld_add_taxc(WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y) < 0)
    LOG("ERR The first tax office does not fit at (%d, %d).", WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y);
  wld_started = 1;
  for (int q = 0; q < TRADECNT; q++) spawnqueues[q] += 1;
  return true;
}

bool wld_start_map(const char* path) {
  if (!read_map(path)) return false;
  // The map's grey levels are four times the height steps; the border is
  // water so nothing walks off the grid.
  for (int c = 0; c < GRIDCELLS; c++) map_heights[c] = wld_is_border(c) ? 0 : map_bytes[c] >> 2;
  if (!first_site_fits(map_heights)) {
    LOG("ERR The terrain map %s has no site for the first tax office at (%d, %d).", path,
        WLD_FIRST_TAXC_X, WLD_FIRST_TAXC_Y);
    return false;
  }
  memcpy(wld_height, map_heights, sizeof wld_height);
  return wld_start_new_game();
}
