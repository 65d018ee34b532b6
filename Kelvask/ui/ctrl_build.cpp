// Build modes, their prices and refusals, and placing buildings and build marks.
#include <climits>

#include "bakeries.h"
#include "ctrl.h"
#include "ctrl_handlers.h"
#include "farms.h"
#include "hints.h"
#include "huts.h"
#include "msgwords.h"
#include "notify.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_place.h"
#include "wld_state.h"
#include "wld_walls.h"

struct build_rule {
  int32_t cost, footprint, margin;
};

// Farm field, bakery, hut, tax office, build-mark area.
static const build_rule BUILD_RULES[] = {
    {20, 3, 2}, {100, 3, 1}, {32, 3, 2}, {300, 3, 1}, {0, 1, 1}};

static const char* const NO_SILVER = "You don't have enough silver\nto build that.";

static bool is_mode(int32_t mode) { return mode >= CTRL_MODE_FARM && mode <= CTRL_MODE_MARKS; }

int32_t ctrl_build_cost(int32_t mode) { return is_mode(mode) ? BUILD_RULES[mode - 1].cost : -1; }
int32_t ctrl_farm_reserve() { return farms_count == 0 ? BUILD_RULES[0].cost : 0; }
int32_t ctrl_bakery_reserve() { return bakeries_count == 0 ? BUILD_RULES[1].cost : 0; }

int ctrl_place_ring(int32_t mode) {
  return mode >= CTRL_MODE_FARM && mode <= CTRL_MODE_TAXC ? 1 : 0;
}

static bool on_grid(int x, int y) { return x >= 0 && x < GRIDSZ && y >= 0 && y < GRIDSZ; }

bool ctrl_test_cursor() {
  const int x = ctrl_cursor[0], y = ctrl_cursor[1];
  if (!on_grid(x, y)) return false;
  int top = 0;
  return wld_can_place(x, y, ctrl_place_ring(ctrl_buildmode), &top);
}

static void refuse(const char* text) {
  toast_show(text, TOAST_REFUSAL_TIME);
  ctrl_buildmode = CTRL_MODE_NONE;
}

void onBuildmode(const char* text) {
  if (!ctrl_playing()) return;
  const int32_t n = notify_int(text, "selected");
  int32_t mode = n == ctrl_buildmode ? CTRL_MODE_NONE : n;
  ctrl_buildmode = mode;
  if (is_mode(mode)) {
    ctrl_footprint = BUILD_RULES[mode - 1].footprint;
    ctrl_placemargin = BUILD_RULES[mode - 1].margin;
  }
  const int32_t cost = ctrl_build_cost(mode);
  const int64_t remaining = (int64_t)taxc_silver - cost;
  const int32_t farmres = ctrl_farm_reserve(), bakres = ctrl_bakery_reserve();
  // Each check sees the mode an earlier one left; the last toast shown stays.
  if (remaining < farmres && ctrl_buildmode > CTRL_MODE_FARM)
    refuse("Without a farm field your\nproject is doomed.\nBuild that instead!");
  if (remaining < bakres && ctrl_buildmode != CTRL_MODE_NONE && ctrl_buildmode != CTRL_MODE_BAKERY)
    refuse("Without a bakery your\nproject is doomed.\nBuild that instead!");
  if (remaining < farmres + bakres && ctrl_buildmode == CTRL_MODE_HUT)
    refuse("Without a farm field and a\nbakery, your project is doomed.\nBuild those instead!");
  if (taxc_silver < cost) refuse(NO_SILVER);
  notify_post(MSG_MOVECOI " dx=0 dy=0");
}

// The module's index for a building at (x, y) with its walls, or -1.
static int add_building(int32_t mode, int x, int y) {
  int i = -1;
  switch (mode) {
    case CTRL_MODE_FARM:
      if (farms_count < MAXFARMS) i = farms_add(x, y);
      break;
    case CTRL_MODE_BAKERY:
      if (bakeries_count < MAXBAKERIES && (i = bakeries_add(x, y)) >= 0) wld_walls_bakery(x, y);
      break;
    case CTRL_MODE_HUT:
      if (huts_count < MAXHUTS && (i = huts_add(x, y)) >= 0) wld_walls_hut(x, y);
      break;
    case CTRL_MODE_TAXC:
      i = wld_add_taxc(x, y);
      break;
  }
  return i;
}

static const char* const BUILT_EVENT[] = {MSG_FARMBUILT, MSG_BAKERYBUILT, MSG_HUTBUILT, nullptr};

static int clamp_cell(int v) { return v < 0 ? 0 : v >= GRIDSZ ? GRIDSZ - 1 : v; }

// Toggles the marks of the rectangle between anchor and cursor (the cursor
// alone without an anchor), row by row, clipped to the grid. Cells that
// cannot take a mark (water, goal cells, a full table) are passed over;
// existing marks always come off.
static void toggle_marks() {
  int x0 = ctrl_cursor[0], y0 = ctrl_cursor[1], x1 = x0, y1 = y0;
  if (ctrl_anchor[0] >= 0 && ctrl_anchor[1] >= 0) {
    x0 = clamp_cell(ctrl_anchor[0]);
    y0 = clamp_cell(ctrl_anchor[1]);
  }
  if (x0 > x1) {
    const int t = x0;
    x0 = x1;
    x1 = t;
  }
  if (y0 > y1) {
    const int t = y0;
    y0 = y1;
    y1 = t;
  }
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) {
      const int c = y * GRIDSZ + x;
      int top = 0;
      if ((wld_cellflags[c] >> 4) == MARK || (nummarks < MAXMARKS && wld_can_place(x, y, 0, &top)))
        stones_toggle_mark(c);
    }
}

void onPlacebuilding(const char* text) {
  if (!ctrl_playing() || (wld_gameover && !wld_completed) || !is_mode(ctrl_buildmode)) return;
  // The verdict may be from another cell or mode: the site is tested afresh.
  const int x = ctrl_cursor[0], y = ctrl_cursor[1];
  ctrl_canplace = ctrl_test_cursor();
  if (!ctrl_canplace) return;
  const int32_t mode = ctrl_buildmode;
  if (mode == CTRL_MODE_MARKS) {
    toggle_marks();
  } else {
    // Build mode outlives the hire panel, so the silver may have gone meanwhile.
    const int32_t cost = ctrl_build_cost(mode);
    if (taxc_silver < cost) {
      refuse(NO_SILVER);
      return;
    }
    if (add_building(mode, x, y) >= 0) {
      taxc_silver -= cost;
      if (BUILT_EVENT[mode - 1]) notify_post(BUILT_EVENT[mode - 1]);
    }
    ctrl_buildmode = CTRL_MODE_NONE;
  }
  ctrl_canplace = 0;
}

void onAreaselect(const char* text) {
  if (notify_int(text, "val") == 0) {
    ctrl_anchor[0] = ctrl_anchor[1] = -1;
  } else if (ctrl_anchor[0] == -1 && ctrl_anchor[1] == -1) {
    ctrl_anchor[0] = ctrl_cursor[0];
    ctrl_anchor[1] = ctrl_cursor[1];
  }
}
