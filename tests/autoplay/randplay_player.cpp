#include "randplay_player.h"

#include <SDL2/SDL_keycode.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bakeries.h"
#include "camera.h"
#include "cats.h"
#include "crowd.h"
#include "ctrl.h"
#include "farms.h"
#include "huts.h"
#include "matrix.h"
#include "msgwords.h"
#include "notify.h"
#include "taxc.h"
#include "view.h"
#include "wld.h"
#include "wld_place.h"
#include "wld_state.h"

#define W 1280
#define H 720

static uint64_t rng;
static int32_t grown;  // the crowd each game grows to, 0 none

static uint32_t rnd() {
  rng ^= rng << 13, rng ^= rng >> 7, rng ^= rng << 17;
  return (uint32_t)(rng >> 16);
}
static int below(int n) { return n > 0 ? (int)(rnd() % (uint32_t)n) : 0; }
float randplay_unit() { return (float)(rnd() & 0xffff) / 65535.0f; }
static bool chance(float p) { return randplay_unit() < p; }

void randplay_begin(uint32_t seed, int32_t crowd) {
  rng = (0x9e3779b97f4a7c15ull ^ ((uint64_t)seed * 0xbf58476d1ce4e5b9ull)) | 1;
  grown = crowd;
}

// ---- the hand: a pointer on a ground point or on a view ----

static bool on_ground;
static float ground_x, ground_y;

// Window position and depth of a ground point through the last frame's camera.
static bool project(float x, float y, float* sx, float* sy, float* depth) {
  const int cx = (int)floorf(x), cy = (int)floorf(y);
  const bool inside = cx >= 0 && cx < GRIDSZ && cy >= 0 && cy < GRIDSZ;
  const float p[4] = {x, y, inside ? grid_z(wld_height[grid_cidx(cx, cy)]) : 0.0f, 1.0f};
  float pv[16], q[4];
  mat4_mul(ctrl_drawcam[2], pv, ctrl_drawcam[1]);
  for (int r = 0; r < 4; r++)
    q[r] = pv[r] * p[0] + pv[4 + r] * p[1] + pv[8 + r] * p[2] + pv[12 + r];
  if (!(q[3] > 0.0f)) return false;
  const float nx = q[0] / q[3], ny = q[1] / q[3], nz = q[2] / q[3];
  if (!(fabsf(nx) < 0.98f && fabsf(ny) < 0.98f && fabsf(nz) < 1.0f)) return false;
  *sx = (nx + 1.0f) * 0.5f * W, *sy = (ny + 1.0f) * 0.5f * H, *depth = (nz + 1.0f) * 0.5f;
  return true;
}

static bool aim(float x, float y) {
  float sx, sy, depth;
  if (!project(x, y, &sx, &sy, &depth)) return false;
  sdlmain_pointer = sdlmain_point{sx, sy};
  on_ground = true, ground_x = x, ground_y = y;
  view_pointer_move(sdlmain_held[0]);
  return true;
}

static void up() {
  view_pointer_up(SDLMAIN_PTR_LEFT);
  for (int v = view_find_pointer(SDLMAIN_PTR_LEFT); v >= 0; v = view_find_pointer(SDLMAIN_PTR_LEFT))
    view_ptr[v].id = -1;
  sdlmain_released = 1;
  sdlmain_held[0] = 0;
}

void randplay_frame(int32_t steps) {
  const double dt = steps * (double)WLD_STEP;
  ctrl_update(steps, dt);
  ctrl_draw((float)dt, (float)dt);  // without programs it only takes the frame's camera
  float sx = 0.0f, sy = 0.0f, depth = 1.0f;
  // The pointer follows its ground point as the camera moves, unless it holds a button.
  if (on_ground && project(ground_x, ground_y, &sx, &sy, &depth) && !sdlmain_held[0])
    sdlmain_pointer = sdlmain_point{sx, sy};
  ctrl_pick(on_ground ? depth : 1.0f);
  if (sdlmain_released) ctrl_release();
  sdlmain_buttons = sdlmain_released = 0;
}

// ---- gestures, frame by frame ----

enum { OP_AIM, OP_SITE, OP_VIEW, OP_DOWN, OP_UP, OP_DRAG, OP_SHIFT, OP_POST, OP_FRAME };
struct op {
  int kind;
  float a, b;
  int32_t v;
  const char* text;
};
static op ops[96];
static int opcount, opnext;
static bool shift;

static void push(int kind, float a = 0, float b = 0, int32_t v = 0, const char* text = nullptr) {
  if (opcount < 96) ops[opcount++] = op{kind, a, b, v, text};
}
static void press_view(int view, float fx = 0.5f, float fy = 0.5f) {
  push(OP_VIEW, fx, fy, view), push(OP_DOWN), push(OP_UP);
}

void randplay_forget() {
  if (sdlmain_held[0]) up();
  if (shift) view_key(SDLK_LSHIFT, 0);
  shift = false;
  opcount = opnext = 0;
  on_ground = false;
}

static void run_ops() {
  while (opnext < opcount) {
    const op& o = ops[opnext++];
    if (o.kind == OP_FRAME) return;
    if (o.kind == OP_AIM && !aim(o.a, o.b)) return randplay_forget();
    if (o.kind == OP_SITE) {  // a site near (a, b) the cursor shows as free
      int top = 0, k = 0, cx = (int)o.a, cy = (int)o.b;
      while (k++ < 40 && !(cx >= 0 && cx < GRIDSZ && cy >= 0 && cy < GRIDSZ &&
                           wld_can_place(cx, cy, ctrl_place_ring(ctrl_buildmode), &top)))
        cx = (int)o.a + below(9) - 4, cy = (int)o.b + below(9) - 4;
      aim(cx + 0.5f, cy + 0.5f);
    }
    if (o.kind == OP_VIEW) {
      const view_rectangle r = view_rect[o.v];
      sdlmain_pointer = sdlmain_point{r.x + o.a * r.w, r.y + o.b * r.h};
      on_ground = false;
      view_pointer_move(sdlmain_held[0]);
    }
    if (o.kind == OP_DOWN && view_pointer_down(SDLMAIN_PTR_LEFT) == VIEW_WORLD)
      sdlmain_held[0] = 1, sdlmain_buttons |= SDLMAIN_BIT_LEFT;
    if (o.kind == OP_UP) up();
    if (o.kind == OP_DRAG) {  // the pointer moves by (a, b) window heights
      sdlmain_pointer.x += o.a * H, sdlmain_pointer.y -= o.b * H;
      on_ground = false;
      char msg[80];
      snprintf(msg, sizeof msg, MSG_MOVECOI " dx=%f dy=%f", o.a, o.b);
      if (sdlmain_held[0] && view_shown[VIEW_WORLD]) notify_post(msg);
      view_pointer_move(sdlmain_held[0]);
    }
    if (o.kind == OP_SHIFT) view_key(SDLK_LSHIFT, o.v), shift = o.v;
    if (o.kind == OP_POST) notify_post(o.text);
  }
  opcount = opnext = 0;
}

// The pointer's motion (in window heights) that moves the ground under it by
// (gx, gy) cells: the controller moves the centre by -k dx R + k dy F.
static bool motion_for(float gx, float gy, float* dx, float* dy) {
  float R[2], F[2];
  for (int k = 0; k < 2; k++) {
    const float* col = &camera.camera_matrix[4 * k];
    const float len = std::max(sqrtf(col[0] * col[0] + col[1] * col[1]), 1e-6f);
    (k ? F : R)[0] = col[0] / len, (k ? F : R)[1] = col[1] / len;
  }
  const float kd = 0.4f * camera.distance;
  const float det = kd * kd * (R[0] * F[1] - R[1] * F[0]);
  if (fabsf(det) < 1e-6f) return false;
  *dx = kd * (gx * F[1] - gy * F[0]) / det, *dy = kd * (gx * R[1] - gy * R[0]) / det;
  return true;
}

// ---- what the player does ----

// A building's centre cell, any kind.
static int building_cell() {
  int k = below(farms_count + bakeries_count + huts_count + taxc_count);
  if (k < farms_count) return farms_cidx[k];
  if ((k -= farms_count) < bakeries_count) return bakeries_cidx[k];
  if ((k -= bakeries_count) < huts_count) return huts_cidx[k];
  return taxc_cidx[k - huts_count];
}

// A cell the player aims at: beside buildings often, the pyramid's base.
static void target(float* x, float* y) {
  const int c = building_cell();
  *x = below(GRIDSZ) + 0.5f, *y = below(GRIDSZ) + 0.5f;
  if (chance(0.5f)) *x = c % GRIDSZ + below(5) - 1.5f, *y = c / GRIDSZ + below(5) - 1.5f;
  if (chance(0.2f)) *x = 35.5f + below(15), *y = 61.5f + below(15);
}

static void mode(int m) {
  if (ctrl_buildmode != m) press_view(VIEW_BUILD0 + m - 1);
  push(OP_FRAME);
}

static void build(int m) {
  float x, y;
  target(&x, &y);
  mode(m);
  push(chance(0.7f) ? OP_SITE : OP_AIM, x, y), push(OP_FRAME), push(OP_DOWN), push(OP_UP);
  push(OP_FRAME);
}

// One mark, or an area from a shift-held anchor; often over a building, whose
// untyped cells take marks.
static void marks() {
  float x, y;
  target(&x, &y);
  const int c = building_cell();
  if (chance(0.4f)) x = c % GRIDSZ + below(3) - 0.5f, y = c / GRIDSZ + below(3) - 0.5f;
  mode(CTRL_MODE_MARKS);
  push(OP_AIM, x, y), push(OP_FRAME);
  const bool area = chance(0.6f);
  if (area) push(OP_SHIFT, 0, 0, 1), push(OP_AIM, x + below(9) - 4, y + below(9) - 4);
  push(OP_FRAME), push(OP_DOWN), push(OP_UP);
  if (area) push(OP_SHIFT, 0, 0, 0);
  push(OP_FRAME);
}

// Workers still to come before the crowd is grown.
static int32_t to_grow() {
  int32_t n = grown - crowd_sz;
  for (int t = 0; t < TRADECNT; t++) n -= spawnqueues[t];
  return n;
}

// On the open panel: every slider full while growing, else a few set; go.
static void hire_panel() {
  const bool growing = to_grow() > 0;
  for (int t = 0; t < TRADECNT && growing; t++) press_view(VIEW_SLIDER0 + t, 1.0f);
  for (int k = growing ? 0 : 1 + below(4); k > 0; k--)
    press_view(VIEW_SLIDER0 + below(TRADECNT), randplay_unit());
  press_view(VIEW_GO), push(OP_FRAME);
}

// A worker or a cat pressed and dragged to a corner or an edge, or past it.
static void drag() {
  float x, y;
  if (cats_count > 0 && chance(0.5f)) {
    const int c = below(cats_count);
    x = cats_pos[c][0], y = cats_pos[c][1];
  } else if (crowd_sz > 0) {
    const int i = below(crowd_sz);
    x = crowd_posx[i], y = crowd_posy[i];
  } else {
    return;
  }
  const float far = below(2) == 0 ? 0.0f : 1.0f + below(30);
  float tx = below(2) ? -far : GRIDSZ - 1 + far, ty = below(2) ? -far : GRIDSZ - 1 + far;
  if (chance(0.3f)) tx = x;                                           // straight to an edge
  push(OP_AIM, x, y), push(OP_FRAME), push(OP_DOWN), push(OP_FRAME);  // the pick takes it
  const int steps = 2 + below(6);
  float dx = 0.0f, dy = 0.0f;
  motion_for((tx - x) / steps, (ty - y) / steps, &dx, &dy);
  for (int s = 0; s < steps; s++) push(OP_DRAG, dx, dy), push(OP_FRAME);
  push(OP_UP), push(OP_FRAME);
}

// The whole map in sight: zoomed out, looking down from high over its middle.
static void overlook() {
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " distScale=4.0");
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " elevationDelta=0.4 orbitDelta=0");
  push(OP_POST, 0, 0, 0, MSG_MOVECOI " dx=0 dy=0"), push(OP_FRAME);
  float dx = 0.0f, dy = 0.0f;
  if (motion_for(ctrl_coi[0] - 64.0f, ctrl_coi[1] - 64.0f, &dx, &dy) && wld_selected < 0 &&
      wld_selectedcat < 0)
    push(OP_VIEW, 0.5f, 0.5f, VIEW_WORLD), push(OP_DOWN), push(OP_DRAG, dx, dy), push(OP_UP);
  push(OP_FRAME);
}

static bool sees_the_map() {
  float sx, sy, depth;
  for (float c : {1.0f, 127.0f})
    if (!project(c, c, &sx, &sy, &depth) || !project(c, 128.0f - c, &sx, &sy, &depth)) return false;
  return true;
}

static void choose() {
  if (view_shown[VIEW_MENU])  // the menu's rows from the top: ..., play, restart
    return press_view(VIEW_MENU, 0.5f, 1.0f - ((wld_gameover ? 5 : 4) + 6.5f) / 13.0f);
  if (view_shown[VIEW_HIRE_PANEL]) return hire_panel();
  if (!sees_the_map()) return overlook();
  if (to_grow() > 0 && chance(0.6f)) {  // food first, then doors to come out of, then beds
    if (farms_count == 0) return build(CTRL_MODE_FARM);
    if (bakeries_count < 1 + taxc_count / 2) return build(CTRL_MODE_BAKERY);
    if (taxc_count < 8) return build(CTRL_MODE_TAXC);
    if (huts_count < 6) return build(CTRL_MODE_HUT);
    return press_view(VIEW_LABOR), push(OP_FRAME);
  }
  const int k = below(9);
  if (k < 2) return build(1 + below(4));
  if (k < 5) return marks();
  if (k < 7) return press_view(VIEW_LABOR), push(OP_FRAME);
  drag();
}

void randplay_act() {
  // A grown game has the silver for its buildings and hires from the start.
  if (grown > 0 && wld_started && wld_age < 0.2)
    taxc_silver = std::max(taxc_silver, grown + 8 * ctrl_build_cost(CTRL_MODE_TAXC) +
                                            6 * ctrl_build_cost(CTRL_MODE_BAKERY) +
                                            6 * ctrl_build_cost(CTRL_MODE_HUT) +
                                            20 * ctrl_build_cost(CTRL_MODE_FARM));
  if (opnext >= opcount && chance(0.08f)) choose();
  run_ops();
}
