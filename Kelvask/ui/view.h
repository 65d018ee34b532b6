// The screen views: 24 fixed rectangles (buttons, sliders, panels, counters,
// the toast and the 3D world) laid out from the drawable size, the hit test
// over the views that take input, and pointer and key input turned into
// messages on the bus. The views never call the controller.
#pragma once
#include <cstdint>

// The pointer and buttons as the shell's input routing leaves them for the
// views and the pick.
enum { SDLMAIN_PTR_LEFT = 0, SDLMAIN_PTR_MIDDLE = 1, SDLMAIN_PTR_RIGHT = 2 };
enum { SDLMAIN_BIT_LEFT = 1, SDLMAIN_BIT_MIDDLE = 2, SDLMAIN_BIT_RIGHT = 4 };  // sdlmain_buttons

struct sdlmain_point {
  float x, y;
};

extern sdlmain_point sdlmain_pointer;  // drawable pixels, y up
extern int32_t sdlmain_held[3];        // left, middle, right held after a press on the world
extern int32_t sdlmain_buttons;        // SDLMAIN_BIT_* of world presses since the last frame
extern int32_t sdlmain_released;       // some button went up since the last frame

#define VIEWCOUNT 24

// View numbers with a role of their own in the code.
enum {
  VIEW_TOAST = 0,
  VIEW_MENU = 1,
  VIEW_BANNER = 2,
  VIEW_GO = 3,
  VIEW_SILVER_GAUGE = 4,
  VIEW_SLIDER0 = 5,  // 5..8: one hire slider per trade
  VIEW_HIRE_PANEL = 9,
  VIEW_BUILD0 = 10,  // 10..14: field, bakery, hut, tax office, build marks
  VIEW_LABOR = 15,
  VIEW_INFO = 16,
  VIEW_COUNTER0 = 17,  // 17..22: silver, water, grain, food, sandstone, dead
  VIEW_WORLD = 23,
};

#define VIEW_CAMTOUCHES 16
#define VIEW_MSG_SZ 128
#define VIEW_FRAME_MSG_SZ 80

struct view_rectangle {
  int32_t x, y, w, h;  // drawable pixels, origin bottom-left, y up
};

// The pointer that last went down on a view.
struct view_pointer {
  int32_t id;  // -1 none
  int32_t moved;
  float lastx, lasty;
  float stepdx, stepdy;
  float downx, downy;
};

// A pointer that went down on the world view.
struct view_touch {
  int32_t id;
  int32_t moved;
  float lastx, lasty;
  float stepdx, stepdy;
};

extern view_rectangle view_rect[VIEWCOUNT];
extern uint8_t view_shown[VIEWCOUNT];
extern view_pointer view_ptr[VIEWCOUNT];
extern view_touch view_camtouch[VIEW_CAMTOUCHES];
extern int32_t numCamTouches;

// Key and edge state behind the per-frame camera messages.
extern float view_panx, view_pany, view_edgepanx, view_edgepany;
extern float view_panvx, view_panvy, view_climbacc, view_climbvel, view_zoom;

view_rectangle view_get(int nr);
void view_layout(int32_t width, int32_t height);
// Clears every pointer record and camera touch.
void view_reset_pointers();
// Every view, pointer, touch, pan and the shell's input state as a fresh
// process has them: nothing shown, no rectangle, pointer records zero.
void view_reset();
// Whether a view can be hit: it is shown, and it is drawn in this screen
// (the menu screen draws only the menu views; a hidden HUD draws no buttons
// or counters).
bool view_takes_input(int nr);
// The lowest view taking input whose rectangle holds the point, edges
// included; -1 for none.
int view_hit(int32_t x, int32_t y);
// Lowest view whose pointer record holds id, or -1.
int view_find_pointer(int32_t id);
// At the shell's pointer position: the view hit, or -1.
int view_pointer_down(int32_t id);
// Returns whether a camera touch of that id existed.
bool view_pointer_up(int32_t id);
// The left button's pointer moved; held: some mouse button holds it.
void view_pointer_move(bool held);
void view_key(int32_t key, int32_t down);
// Posts the camera pan, climb and zoom messages of held keys and the edge.
void view_update(float dt);
