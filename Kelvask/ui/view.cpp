#include "view.h"

#include <cstdio>
#include <cstring>

#include "ctrl.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"

sdlmain_point sdlmain_pointer;
int32_t sdlmain_held[3];
int32_t sdlmain_buttons;
int32_t sdlmain_released;

view_rectangle view_rect[VIEWCOUNT];
uint8_t view_shown[VIEWCOUNT];
view_pointer view_ptr[VIEWCOUNT];
view_touch view_camtouch[VIEW_CAMTOUCHES];
int32_t numCamTouches;

#define VIEW_DRAG_STEP 4.0f  // pixels one step must exceed to make a press a drag

view_rectangle view_get(int nr) {
  if (!(nr >= 0 && nr < VIEWCOUNT)) {
    // The assertion's line carries the number that was asked for.
    char expr[96];
    snprintf(expr, sizeof expr, "nr >= 0 && nr < VIEWCOUNT / nr=%d", nr);
    log_assert_failed(expr, __FILE__, __LINE__);
    log_assert_stop(expr, __FILE__, __LINE__);
  }
  return view_rect[nr];
}

static void set_rect(int v, int32_t x, int32_t y, int32_t w, int32_t h) {
  view_rect[v] = view_rectangle{x, y, w, h};
}

void view_layout(int32_t W, int32_t H) {
  const int32_t s = H / 15, b = s * 480 / 192, m = s / 10;
  set_rect(VIEW_WORLD, 0, 0, W, H);
  const int32_t P = 4 * H / 3;
  set_rect(VIEW_MENU, (int32_t)((W - P) * 0.5f), 0, P, H);
  view_rect[VIEW_HIRE_PANEL] = view_rect[VIEW_MENU];
  const int32_t q = 4 * H / 10, w2 = q * 1238 / 480;
  set_rect(VIEW_BANNER, (W - w2) / 2, (int32_t)(H * 0.96f) - q, w2, q);
  for (int i = 0; i < 6; i++) set_rect(VIEW_COUNTER0 + i, W - m - b, m + (5 - i) * s, b, s);
  for (int i = 0; i < 5; i++) set_rect(VIEW_BUILD0 + i, i * b + (i + 1) * m, H - m - s, b, s);
  set_rect(VIEW_LABOR, W - m - b, H - m - s, b, s);
  const int32_t G = (int32_t)(W * 0.8f), g = G / 16, Y0 = (int32_t)(H * 0.8f);
  for (int i = 0; i < 5; i++)
    set_rect(VIEW_SILVER_GAUGE + i, (int32_t)(W * 0.1f), Y0 - i * (g / 2 + g), G, g);
  const int32_t e = H / 8;
  set_rect(VIEW_GO, W - e / 8 - e, e / 8, e, e);
  const int32_t T = (int32_t)(W * 0.56f);
  set_rect(VIEW_TOAST, (W - T) / 2, (T / 4) / 12, T, T / 4);
  const int32_t k = 3 * H / 4 < 713 ? 3 * H / 4 : 713;
  set_rect(VIEW_INFO, m, m, k * 360 / 713, k);
}

void view_reset_pointers() {
  for (view_pointer& p : view_ptr) p = view_pointer{-1, 0, 0, 0, 0, 0, 0, 0};
  numCamTouches = 0;
}

void view_reset() {
  sdlmain_pointer = sdlmain_point{};
  memset(sdlmain_held, 0, sizeof sdlmain_held);
  sdlmain_buttons = sdlmain_released = 0;
  memset(view_rect, 0, sizeof view_rect);
  memset(view_shown, 0, sizeof view_shown);
  memset(view_ptr, 0, sizeof view_ptr);
  memset(view_camtouch, 0, sizeof view_camtouch);
  numCamTouches = 0;
  view_panx = view_pany = view_edgepanx = view_edgepany = 0.0f;
  view_panvx = view_panvy = view_climbacc = view_climbvel = view_zoom = 0.0f;
}

static bool is_hud(int v) {
  return (v >= VIEW_BUILD0 && v <= VIEW_LABOR) || (v >= VIEW_COUNTER0 && v < VIEW_WORLD);
}

bool view_takes_input(int v) {
  if (!view_shown[v]) return false;
  if (view_shown[VIEW_MENU]) return v == VIEW_MENU || v == VIEW_BANNER;
  return !(ctrl_hudhidden && is_hud(v));
}

int view_hit(int32_t x, int32_t y) {
  for (int v = 0; v < VIEWCOUNT; v++) {
    const view_rectangle& r = view_rect[v];
    if (view_takes_input(v) && x >= r.x && x <= r.x + r.w && y >= r.y && y <= r.y + r.h) return v;
  }
  return -1;
}

int view_find_pointer(int32_t id) {
  for (int v = 0; v < VIEWCOUNT; v++)
    if (view_ptr[v].id == id) return v;
  return -1;
}

// A window of no size has views of no size: their positions read as 0.
static float menu_touchy(float y) {
  const int32_t h = view_rect[VIEW_MENU].h;
  return h > 0 ? 1.0f - y / (float)h : 0.0f;
}

static float slider_value(int v, float x) {
  const int32_t w = view_rect[v].w;
  return w > 0 ? (x - (float)view_rect[v].x) / (float)w : 0.0f;
}

static bool is_slider(int v) { return v >= VIEW_SLIDER0 && v < VIEW_SLIDER0 + 4; }

static void post_press(int v, float x, float y) {
  static const char* const WORDS[VIEWCOUNT] = {MSG_DISMISSTOAST,
                                               nullptr,
                                               nullptr,
                                               MSG_GOBUTTON,
                                               nullptr,
                                               nullptr,
                                               nullptr,
                                               nullptr,
                                               nullptr,
                                               nullptr,
                                               MSG_BUILDMODE " selected=1",
                                               MSG_BUILDMODE " selected=2",
                                               MSG_BUILDMODE " selected=3",
                                               MSG_BUILDMODE " selected=4",
                                               MSG_BUILDMODE " selected=5",
                                               MSG_HIRE,
                                               MSG_INFOBUTTON};
  char msg[VIEW_MSG_SZ];
  if (v == VIEW_MENU) {
    snprintf(msg, sizeof msg, MSG_SETTINGS " touchy=%f click=1", menu_touchy(y));
    notify_post(msg);
  } else if (is_slider(v)) {
    snprintf(msg, sizeof msg, MSG_WORKFORCE " type=%d x=%f click=1", v - VIEW_SLIDER0,
             slider_value(v, x));
    notify_post(msg);
  } else if (WORDS[v]) {
    notify_post(WORDS[v]);
  }
}

static int find_touch(int32_t id) {
  for (int t = 0; t < numCamTouches; t++)
    if (view_camtouch[t].id == id) return t;
  return -1;
}

static void add_touch(int32_t id, float x, float y) {
  if (find_touch(id) >= 0 || numCamTouches >= VIEW_CAMTOUCHES) {
    LOG("ERR Failed to add camera touch for pointerId %d. numCamTouches = %d", id, numCamTouches);
    return;
  }
  view_camtouch[numCamTouches++] = view_touch{id, 0, x, y, 0, 0};
}

int view_pointer_down(int32_t id) {
  const float x = sdlmain_pointer.x, y = sdlmain_pointer.y;
  const int v = view_hit((int32_t)x, (int32_t)y);
  if (v < 0) return -1;
  view_ptr[v] = view_pointer{id, 0, x, y, 0, 0, x, y};
  post_press(v, x, y);
  if (v == VIEW_WORLD) add_touch(id, x, y);
  return v;
}

bool view_pointer_up(int32_t id) {
  const int t = find_touch(id);
  if (t < 0) return false;
  if (numCamTouches == 1 && id == SDLMAIN_PTR_LEFT) {
    numCamTouches = 0;
    // A click that never dragged places.
    if (!view_camtouch[t].moved) notify_post(MSG_PLACEBUILDING);
    return true;
  }
  view_camtouch[t] = view_camtouch[--numCamTouches];
  return true;
}

// Moves a record's last position; true when this one step is a drag.
static bool step_to(float* lastx, float* lasty, float x, float y, float* dx, float* dy) {
  *dx = x - *lastx;
  *dy = y - *lasty;
  *lastx = x;
  *lasty = y;
  return *dx > VIEW_DRAG_STEP || *dx < -VIEW_DRAG_STEP || *dy > VIEW_DRAG_STEP ||
         *dy < -VIEW_DRAG_STEP;
}

void view_pointer_move(bool held) {
  const float x = sdlmain_pointer.x, y = sdlmain_pointer.y;
  view_edgepanx = view_edgepany = 0.0f;
  if (!held) {
    const float W = (float)view_rect[VIEW_WORLD].w, H = (float)view_rect[VIEW_WORLD].h;
    if (x < 1.0f) view_edgepanx = 2.0f;
    if (x > W - 2.0f) view_edgepanx = -2.0f;
    if (y < 1.0f) view_edgepany = -2.0f;
    if (y > H - 2.0f) view_edgepany = 2.0f;
  }
  for (int t = 0; t < numCamTouches; t++) {
    view_touch& c = view_camtouch[t];
    if (c.id == SDLMAIN_PTR_LEFT && step_to(&c.lastx, &c.lasty, x, y, &c.stepdx, &c.stepdy))
      c.moved = 1;
  }
  const int v = view_find_pointer(SDLMAIN_PTR_LEFT);
  char msg[VIEW_MSG_SZ];
  if (v >= 0) {
    view_pointer& p = view_ptr[v];
    float dx, dy;
    if (step_to(&p.lastx, &p.lasty, x, y, &dx, &dy)) p.moved = 1;
    if (is_slider(v)) {
      snprintf(msg, sizeof msg, MSG_WORKFORCE " type=%d x=%f click=0", v - VIEW_SLIDER0,
               slider_value(v, x));
      notify_post(msg);
    }
    return;
  }
  if (view_shown[VIEW_MENU]) {
    snprintf(msg, sizeof msg, MSG_SETTINGS " touchy=%f click=0", menu_touchy(y));
    notify_post(msg);
  }
}
