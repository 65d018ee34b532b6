#include <cstdio>

#include "ctrl.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "sdlmain.h"
#include "view.h"

bool sdlmain_quit;

sdlmain_point sdlmain_to_drawable(int32_t x, int32_t y, int32_t height, float scale) {
  return sdlmain_point{(float)x * scale, (float)(height - y - 1) * scale};
}

static bool world_shown() { return view_shown[SDLMAIN_WORLD_VIEW] != 0; }

static bool any_held() { return sdlmain_held[0] || sdlmain_held[1] || sdlmain_held[2]; }

static void post(const char* fmt, double a) {
  char msg[80];
  snprintf(msg, sizeof msg, fmt, a);
  notify_post(msg);
}

static void back() {
  if (!ctrl_back()) sdlmain_quit = true;
}

static void toggle_fullscreen() {
  const bool full = SDL_GetWindowFlags(sdlmain_window) & SDL_WINDOW_FULLSCREEN_DESKTOP;
  SDL_SetWindowFullscreen(sdlmain_window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

static void on_key(const SDL_KeyboardEvent* key) {
  const bool pressed = key->state == SDL_PRESSED;
  const SDL_Keycode code = key->keysym.sym;
  if (code == SDLK_RETURN && (key->keysym.mod & KMOD_ALT)) {
    if (pressed) toggle_fullscreen();
  } else if (code == SDLK_ESCAPE) {
    if (pressed) back();
  } else {
    view_key(code, pressed);
  }
}

void sdlmain_route(const SDL_Event* ev) {
  switch (ev->type) {
    case SDL_WINDOWEVENT:
      // The event's own numbers are SDL's idea of the size, not always the window's.
      if (ev->window.event == SDL_WINDOWEVENT_RESIZED ||
          ev->window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
        sdlmain_follow_size();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      on_key(&ev->key);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (ev->cbutton.button == SDL_CONTROLLER_BUTTON_BACK && ev->cbutton.state == SDL_PRESSED)
        back();
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      sdlmain_on_mouse_button(&ev->button);
      break;
    case SDL_MOUSEMOTION:
      sdlmain_on_mouse_motion(&ev->motion);
      break;
    case SDL_MOUSEWHEEL:
      if (world_shown()) post(MSG_CAMERACONTROL " distScale=%f", 1.0f - 0.05f * (float)ev->wheel.y);
      break;
  }
}

// Held-flag slot of the three tracked buttons; -1 for the others.
static int held_slot(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT:
      return 0;
    case SDL_BUTTON_MIDDLE:
      return 1;
    case SDL_BUTTON_RIGHT:
      return 2;
  }
  return -1;
}

void sdlmain_on_mouse_button(const SDL_MouseButtonEvent* ev) {
  static const int32_t ids[3] = {SDLMAIN_PTR_LEFT, SDLMAIN_PTR_MIDDLE, SDLMAIN_PTR_RIGHT};
  static const int32_t bits[3] = {SDLMAIN_BIT_LEFT, SDLMAIN_BIT_MIDDLE, SDLMAIN_BIT_RIGHT};
  // Extra buttons are no pointers: as the left one they would end its press
  // and place a building under a left button still held.
  const int slot = held_slot(ev->button);
  if (slot < 0) return;
  sdlmain_pointer = sdlmain_to_drawable(ev->x, ev->y, sdlmain_height, csf);
  const int32_t id = ids[slot];
  if (ev->state == SDL_PRESSED) {
    if (view_pointer_down(id) == SDLMAIN_WORLD_VIEW) {
      sdlmain_held[slot] = 1;
      sdlmain_buttons |= bits[slot];
    }
  } else {
    view_pointer_up(id);
    for (int v = view_find_pointer(id); v >= 0; v = view_find_pointer(id)) view_ptr[v].id = -1;
    sdlmain_released = 1;
    sdlmain_held[slot] = 0;
  }
  if (!any_held()) SDL_SetRelativeMouseMode(SDL_FALSE);
}

void sdlmain_on_mouse_motion(const SDL_MouseMotionEvent* ev) {
  sdlmain_pointer = sdlmain_to_drawable(ev->x, ev->y, sdlmain_height, csf);
  const float dx = (float)ev->xrel * csf / (float)sdlmain_height;
  const float dy = (float)ev->yrel * csf / (float)sdlmain_height;
  const bool held = any_held();
  if (held) {
    if (!SDL_GetRelativeMouseMode()) SDL_SetRelativeMouseMode(SDL_TRUE);
    if (world_shown()) {
      char msg[80];
      if (sdlmain_held[0]) {
        snprintf(msg, sizeof msg, MSG_MOVECOI " dx=%f dy=%f", dx, dy);
        notify_post(msg);
      }
      if (sdlmain_held[1]) {
        const float s = 1.0f + dy;
        post(MSG_CAMERACONTROL " distScale=%f", s < 0.1f ? 0.1f : s > 4.0f ? 4.0f : s);
      }
      if (sdlmain_held[2]) {
        snprintf(msg, sizeof msg, MSG_CAMERACONTROL " elevationDelta=%f orbitDelta=%f", 3.0f * dy,
                 -3.0f * dx);
        notify_post(msg);
        notify_post(MSG_MOVECOI " dx=0 dy=0");
      }
    }
  }
  view_pointer_move(held);
}
