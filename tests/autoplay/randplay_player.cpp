#include "randplay_player.h"

#include <SDL2/SDL_keycode.h>

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "bakeries.h"
#include "camera.h"
#include "cats.h"
#include "crowd.h"
#include "ctrl.h"
#include "farms.h"
#include "huts.h"
#include "kv.h"
#include "msgwords.h"
#include "notify.h"
#include "randplay_hand.h"
#include "stones.h"
#include "taxc.h"
#include "view.h"
#include "wld.h"
#include "wld_place.h"
#include "wld_state.h"

static uint64_t rng;
static int style;
static int32_t crowd_goal_n;  // the grown crowd, 0 none

static uint32_t rnd() {
  rng ^= rng << 13, rng ^= rng >> 7, rng ^= rng << 17;
  return (uint32_t)(rng >> 16);
}
static int below(int n) { return n > 0 ? (int)(rnd() % (uint32_t)n) : 0; }
float randplay_unit() { return (float)(rnd() & 0xffff) / 65535.0f; }
static float unit() { return randplay_unit(); }
static bool chance(float p) { return unit() < p; }

void randplay_begin(uint32_t seed, int32_t crowd) {
  rng = (0x9e3779b97f4a7c15ull ^ ((uint64_t)seed * 0xbf58476d1ce4e5b9ull)) | 1;
  style = (int)(seed % 3);
  crowd_goal_n = crowd;
}

bool randplay_cheats() { return style == STYLE_WIN; }

// ---- gestures: what the hand does, frame by frame ----

enum { OP_AIM, OP_SITE, OP_VIEW, OP_DOWN, OP_UP, OP_DRAG, OP_KEY, OP_POST, OP_FRAME };
struct op {
  int kind;
  float a, b;
  int32_t v;
  const char* text;
};
#define MAXOPS 96
static op ops[MAXOPS];
static int opcount, opnext;
static bool shift_down;

static void push(int kind, float a = 0, float b = 0, int32_t v = 0, const char* text = nullptr) {
  if (opcount < MAXOPS) ops[opcount++] = op{kind, a, b, v, text};
}
static void press_view(int view, float fx = 0.5f, float fy = 0.5f) {
  push(OP_VIEW, fx, fy, view);
  push(OP_DOWN);
  push(OP_UP);
}
static void click_at(float x, float y, int kind = OP_AIM) {
  push(kind, x, y);
  push(OP_FRAME);  // the pick under the hovering pointer sets the cursor
  push(OP_DOWN);
  push(OP_UP);
  push(OP_FRAME);
}

// A site near (x, y) that the cursor shows as free for the running mode.
static void aim_site(float x, float y) {
  int top = 0;
  for (int k = 0; k < 40; k++) {
    const int cx = (int)x + below(9) - 4, cy = (int)y + below(9) - 4;
    if (cx >= 0 && cx < GRIDSZ && cy >= 0 && cy < GRIDSZ &&
        wld_can_place(cx, cy, ctrl_place_ring(ctrl_buildmode), &top)) {
      hand_aim(cx + 0.5f, cy + 0.5f);
      return;
    }
  }
  hand_aim(x, y);
}

// Lets go of whatever is held when a gesture breaks off.
static void drop_gesture() {
  if (sdlmain_held[0]) hand_up();
  if (shift_down) hand_key(SDLK_LSHIFT, false);
  shift_down = false;
  opcount = opnext = 0;
}

static void run_ops() {
  while (opnext < opcount) {
    const op& o = ops[opnext++];
    switch (o.kind) {
      case OP_AIM:
        if (!hand_aim(o.a, o.b)) return drop_gesture();
        break;
      case OP_SITE:
        aim_site(o.a, o.b);
        break;
      case OP_VIEW:
        hand_aim_view(o.v, o.a, o.b);
        break;
      case OP_DOWN:
        hand_down();
        break;
      case OP_UP:
        hand_up();
        break;
      case OP_DRAG:
        hand_drag(o.a, o.b);
        break;
      case OP_KEY:
        hand_key(o.v, o.a != 0.0f);
        if (o.v == SDLK_LSHIFT) shift_down = o.a != 0.0f;
        break;
      case OP_POST:
        notify_post(o.text);
        break;
      case OP_FRAME:
        return;
    }
  }
  opcount = opnext = 0;
}

// ---- where the player aims ----

static int edges[GRIDCELLS], cliffs[GRIDCELLS], nedges, ncliffs;

void randplay_survey() {
  nedges = ncliffs = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    const int x = c % GRIDSZ, y = c / GRIDSZ;
    if (grid_celltype(wld_cellflags[c]) == WATR) edges[nedges++] = c;
    if (x > 0 && y > 0 && wld_height[c] && wld_height[c - 1] && wld_height[c - GRIDSZ] &&
        (abs(wld_height[c] - wld_height[c - 1]) >= 4 ||
         abs(wld_height[c] - wld_height[c - GRIDSZ]) >= 4))
      cliffs[ncliffs++] = c;
  }
}

// A building's centre cell, any kind.
static int building_cell() {
  const int n = farms_count + bakeries_count + huts_count + taxc_count;
  int k = below(n);
  if (k < farms_count) return farms_cidx[k];
  if ((k -= farms_count) < bakeries_count) return bakeries_cidx[k];
  if ((k -= bakeries_count) < huts_count) return huts_cidx[k];
  return taxc_cidx[k - huts_count];
}

static void from_list(const int* list, int n, float* x, float* y) {
  const int c = n > 0 ? list[below(n)] : below(GRIDCELLS);
  *x = c % GRIDSZ + 0.5f, *y = c / GRIDSZ + 0.5f;
}

// A cell the player aims a mark or a building at: the hard places often.
static void target(float* x, float* y) {
  switch (below(6)) {
    case 1:
      if (style == STYLE_WIN) break;                   // the masons' pyramid stays theirs
      *x = 35.5f + below(15), *y = 61.5f + below(15);  // the pyramid's base and its rim
      return;
    case 0: {
      const int c = building_cell();
      *x = c % GRIDSZ + below(5) - 1.5f, *y = c / GRIDSZ + below(5) - 1.5f;
      return;
    }
    case 2:
      return from_list(edges, nedges, x, y);
    case 3:
      return from_list(cliffs, ncliffs, x, y);
    case 4:  // the map's rim
      *x = below(2) ? below(3) + 0.5f : GRIDSZ - 2.5f + below(3);
      *y = below(GRIDSZ) + 0.5f;
      if (below(2)) std::swap(*x, *y);
      return;
  }
  *x = below(GRIDSZ) + 0.5f, *y = below(GRIDSZ) + 0.5f;
}

// ---- what the player does ----

static void build(int mode) {
  float x, y;
  target(&x, &y);
  if (ctrl_buildmode != mode) press_view(VIEW_BUILD0 + mode - 1);
  push(OP_FRAME);
  click_at(x, y, chance(0.7f) ? OP_SITE : OP_AIM);
}

static void mark_area(float x0, float y0, float x1, float y1) {
  if (ctrl_buildmode != CTRL_MODE_MARKS) press_view(VIEW_BUILD0 + CTRL_MODE_MARKS - 1);
  push(OP_AIM, x0, y0);
  push(OP_FRAME);
  push(OP_KEY, 1, 0, SDLK_LSHIFT);  // the anchor at the cursor
  push(OP_AIM, x1, y1);
  push(OP_FRAME);
  push(OP_DOWN);
  push(OP_UP);
  push(OP_KEY, 0, 0, SDLK_LSHIFT);
  push(OP_FRAME);
}

static void marks() {
  float x, y;
  target(&x, &y);
  if (chance(0.4f)) {  // over a building, whose untyped cells take marks
    const int c = building_cell();
    x = c % GRIDSZ + below(3) - 0.5f, y = c / GRIDSZ + below(3) - 0.5f;
  }
  if (chance(0.4f)) {
    if (ctrl_buildmode != CTRL_MODE_MARKS) press_view(VIEW_BUILD0 + CTRL_MODE_MARKS - 1);
    push(OP_FRAME);
    click_at(x, y);
    return;
  }
  mark_area(x, y, x + below(9) - 4, y + below(9) - 4);
}

// Workers still to come before the crowd is grown.
static int32_t to_grow() {
  int32_t n = crowd_goal_n - crowd_sz;
  for (int t = 0; t < TRADECNT; t++) n -= spawnqueues[t];
  return n;
}

// A grown crowd's buildings: offices for more doors to come out of, bakeries
// and huts where servants and the tired queue (no huts where the crowd is to
// die of exhaustion). Silver for them, and for the hires, a grown game has.
#define GROWN_OFFICES 8
#define GROWN_BAKERIES 6
#define GROWN_HUTS 6

static int32_t grown_silver() {
  return crowd_goal_n + GROWN_OFFICES * ctrl_build_cost(CTRL_MODE_TAXC) +
         GROWN_BAKERIES * ctrl_build_cost(CTRL_MODE_BAKERY) +
         GROWN_HUTS * ctrl_build_cost(CTRL_MODE_HUT) + 20 * ctrl_build_cost(CTRL_MODE_FARM);
}

static void hire() {
  press_view(VIEW_LABOR);
  push(OP_FRAME);
}

// On the open panel: a few sliders set, then go (or, now and then, back out).
static void hire_panel() {
  if (style == STYLE_MIXED && chance(0.1f)) return push(OP_POST, 0, 0, 0, MSG_PAUSE);
  const bool growing = to_grow() > 0;  // every slider full
  for (int t = 0; t < TRADECNT && growing; t++) press_view(VIEW_SLIDER0 + t, 1.0f);
  const int n = growing ? 0 : 1 + below(4);
  for (int k = 0; k < n; k++) {
    const int trade = style == STYLE_LOSE ? 0 : below(TRADECNT);
    press_view(VIEW_SLIDER0 + trade, style == STYLE_LOSE ? 1.0f : unit());
  }
  press_view(VIEW_GO);
  push(OP_FRAME);
}

// A worker or a cat pressed and dragged to a corner or an edge, or past it.
static void drag() {
  float x, y;
  if (cats_count > 0 && chance(0.4f)) {
    const int c = below(cats_count);
    x = cats_pos[c][0], y = cats_pos[c][1];
  } else if (crowd_sz > 0) {
    const int i = below(crowd_sz);
    x = crowd_posx[i], y = crowd_posy[i];
  } else {
    return;
  }
  const float far = below(3) == 0 ? 0.0f : 1.0f + below(30);
  float tx = below(2) ? -far : GRIDSZ - 1 + far, ty = below(2) ? -far : GRIDSZ - 1 + far;
  if (chance(0.3f)) tx = x;  // straight to an edge
  push(OP_AIM, x, y);
  push(OP_FRAME);
  push(OP_DOWN);  // this frame's pick takes what lies under the pointer
  push(OP_FRAME);
  const int steps = 2 + below(6);
  float dx = 0.0f, dy = 0.0f;
  hand_motion_for((tx - x) / steps, (ty - y) / steps, &dx, &dy);
  for (int s = 0; s < steps; s++) {
    push(OP_DRAG, dx, dy);
    push(OP_FRAME);
  }
  push(OP_UP);
  push(OP_FRAME);
}

static void camera_move() {
  static char msg[96];
  switch (below(3)) {
    case 0:  // the wheel
      snprintf(msg, sizeof msg, MSG_CAMERACONTROL " distScale=%f", 0.8f + 0.4f * unit());
      push(OP_POST, 0, 0, 0, msg);
      break;
    case 1:  // the right button held: orbit and tilt
      snprintf(msg, sizeof msg, MSG_CAMERACONTROL " elevationDelta=%f orbitDelta=%f",
               0.3f * unit() - 0.15f, 0.6f * unit() - 0.3f);
      push(OP_POST, 0, 0, 0, msg);
      push(OP_POST, 0, 0, 0, MSG_MOVECOI " dx=0 dy=0");
      break;
    default: {
      static const int32_t keys[4] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d};
      const int32_t key = keys[below(4)];
      push(OP_KEY, 1, 0, key);
      for (int f = below(30); f >= 0; f--) push(OP_FRAME);
      push(OP_KEY, 0, 0, key);
    }
  }
  push(OP_FRAME);
}

// The whole map in sight: zoomed out and looking down from high, over its middle.
static void overlook() {
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " distScale=4.0");
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " elevationDelta=0.4 orbitDelta=0");
  push(OP_POST, 0, 0, 0, MSG_MOVECOI " dx=0 dy=0");
  push(OP_FRAME);
  float dx = 0.0f, dy = 0.0f;
  // A drag on bare ground moves the ground under the pointer with it.
  if (hand_motion_for(ctrl_coi[0] - 64.0f, ctrl_coi[1] - 64.0f, &dx, &dy) && wld_selected < 0 &&
      wld_selectedcat < 0) {
    push(OP_VIEW, 0.5f, 0.5f, VIEW_WORLD);
    push(OP_DOWN);
    push(OP_DRAG, dx, dy);
    push(OP_UP);
  }
  push(OP_FRAME);
}

// The menu's rows: 0 transcription, 1 music, 2 difficulty, 3 guide, 4 play, 5 restart.
static void menu_row(int row) { press_view(VIEW_MENU, 0.5f, 1.0f - (row + 6.5f) / 13.0f); }

static void in_menu() {
  if (style == STYLE_LOSE && kv_setting(KV_DIFFICULTY) != 2) return menu_row(2);
  if (style == STYLE_MIXED && chance(0.15f)) return menu_row(below(4));
  const bool over = wld_gameover && !wld_completed;
  menu_row(style == STYLE_MIXED && (over || chance(0.03f)) ? 5 : 4);
}

static bool sees_the_map() {
  for (float c : {1.0f, 127.0f})
    if (!hand_sees(c, c) || !hand_sees(c, 128.0f - c)) return false;
  return true;
}

// A build mark on the pyramid's base, -1 none.
static int pyramid_mark() {
  for (int j = 0; j < nummarks; j++) {
    const int x = stones_markcidx[j] % GRIDSZ, y = stones_markcidx[j] / GRIDSZ;
    if (x >= 36 && x <= 48 && y >= 62 && y <= 74) return j;
  }
  return -1;
}

// The next layer marked once the one below is done (none marked).
static void mark_pyramid_layer() {
  const int L = 7 - stones_pyramid_level;
  mark_area(36.5f + L, 62.5f + L, 48.5f - L, 74.5f - L);
}

static void choose() {
  if (view_shown[VIEW_MENU]) return in_menu();
  if (view_shown[VIEW_TOAST] && chance(0.3f)) return press_view(VIEW_TOAST), push(OP_FRAME);
  if (view_shown[VIEW_HIRE_PANEL]) return hire_panel();
  if (!sees_the_map()) return overlook();
  if (style == STYLE_WIN && pyramid_mark() < 0 && stones_pyramid_level > 0)
    return mark_pyramid_layer();
  const bool needs_food = farms_count == 0 || bakeries_count == 0;
  if (!needs_food && to_grow() > 0 && chance(0.6f)) {
    if (taxc_count < GROWN_OFFICES) return build(CTRL_MODE_TAXC);
    if (bakeries_count < GROWN_BAKERIES) return build(CTRL_MODE_BAKERY);
    if (huts_count < GROWN_HUTS && style != STYLE_LOSE) return build(CTRL_MODE_HUT);
    return hire();
  }
  switch (below(12)) {
    case 0:
    case 1:
      // No huts where the crowd is to die of exhaustion: an office instead.
      return build(needs_food            ? 1 + below(2)
                   : style == STYLE_LOSE ? 1 + 3 * below(2)
                                         : 1 + below(4));
    case 2:
    case 3:
    case 4:
      if (style != STYLE_WIN) return marks();
      return;
    case 5:
    case 6:
      return hire();
    case 7:
    case 8:
      return drag();
    case 9:
      return camera_move();
    case 10:
      return push(OP_POST, 0, 0, 0, MSG_PAUSE), push(OP_FRAME);  // Escape
  }
}

// The masons: a builder takes the stock's top block and lays it on a build
// mark, as builders do at the stock and at the mark, many a frame on the
// pyramid for the seeds that finish it, now and then on any mark for the
// others, so that marks beside buildings, water and cliffs are finished too.
static void masons() {
  int builder = -1;
  for (int i = 0; i < crowd_sz && builder < 0; i++)
    if (crowd_trade[i] == 0 && crowd_goal[i] != JOB_DEAD) builder = i;
  const int blocks = style == STYLE_WIN ? 16 : chance(0.25f);
  for (int k = 0; k < blocks && builder >= 0 && stones_numstocked > 0 && nummarks > 0; k++) {
    const int m = style == STYLE_WIN ? pyramid_mark() : below(nummarks);
    if (m < 0) return;
    const int c = stones_markcidx[m];
    bool changed = false;
    stones_deposit(stones_take(builder), c % GRIDSZ, c / GRIDSZ, wld_height, &changed);
    if (changed) wld_update_cell_costs(c);
  }
}

void randplay_forget() { drop_gesture(); }

void randplay_act() {
  // At a new game's start, before its first hire.
  if (crowd_goal_n > 0 && wld_started && wld_age < 0.2)
    taxc_silver = std::max(taxc_silver, grown_silver());
  if (opnext >= opcount && chance(0.08f)) choose();
  run_ops();
  if (view_shown[VIEW_WORLD] && !view_shown[VIEW_MENU]) masons();
}
