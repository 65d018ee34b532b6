// Keys and the per-frame camera messages of held keys and the window edge.
#include <SDL2/SDL.h>

#include <cstdio>

#include "msgwords.h"
#include "notify.h"
#include "view.h"

float view_panx, view_pany, view_edgepanx, view_edgepany;
float view_panvx, view_panvy, view_climbacc, view_climbvel, view_zoom;

#define VIEW_PAN_MAX 10.0f
#define VIEW_CLIMB_DECAY 0.95f

static void post_int(const char* fmt, int v) {
  char msg[VIEW_FRAME_MSG_SZ];
  snprintf(msg, sizeof msg, fmt, v);
  notify_post(msg);
}

// A held key's value: v while down, 0 once released.
static void hold(float* state, float v, int32_t down) { *state = down ? v : 0.0f; }

void view_key(int32_t key, int32_t down) {
  if (key >= SDLK_0 && key <= SDLK_9) {
    post_int(MSG_SHOWGOAL " nr=%d", down ? key - SDLK_0 : -1);
    return;
  }
  switch (key) {
    case SDLK_RETURN:
    case SDLK_SPACE:
    case SDLK_KP_ENTER:
      if (down) notify_post(MSG_PLACEBUILDING);
      break;
    case SDLK_BACKQUOTE:
      if (down) notify_post(MSG_TOGGLEHUD);
      break;
    case SDLK_a:
    case SDLK_LEFT:
      hold(&view_panx, 2.0f, down);
      break;
    case SDLK_d:
    case SDLK_RIGHT:
      hold(&view_panx, -2.0f, down);
      break;
    case SDLK_w:
    case SDLK_UP:
      hold(&view_pany, 2.0f, down);
      break;
    case SDLK_s:
    case SDLK_DOWN:
      hold(&view_pany, -2.0f, down);
      break;
    case SDLK_PAGEUP:
    case SDLK_KP_9:
      hold(&view_climbacc, 2.0f, down);
      break;
    case SDLK_PAGEDOWN:
    case SDLK_KP_3:
      hold(&view_climbacc, -2.0f, down);
      break;
    case SDLK_KP_MINUS:
      hold(&view_zoom, -1.0f, down);
      break;
    case SDLK_KP_PLUS:
      hold(&view_zoom, 1.0f, down);
      break;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT:
      post_int(MSG_AREASELECT " val=%d", down ? 1 : 0);
      break;
  }
}

// No coasting: without acceleration the pan stops at once.
static float pan_velocity(float v, float acc, float dt) {
  if (acc == 0.0f) return 0.0f;
  v += dt * acc;
  return v < -VIEW_PAN_MAX ? -VIEW_PAN_MAX : v > VIEW_PAN_MAX ? VIEW_PAN_MAX : v;
}

void view_update(float dt) {
  char msg[VIEW_FRAME_MSG_SZ];
  if (view_zoom != 0.0f) {
    snprintf(msg, sizeof msg, MSG_CAMERACONTROL " distScale=%f", 1.0f + view_zoom * dt);
    notify_post(msg);
  }
  if (view_climbacc != 0.0f)
    view_climbvel += view_climbacc * dt;
  else
    view_climbvel *= VIEW_CLIMB_DECAY;
  snprintf(msg, sizeof msg, MSG_CAMCLIMB " delta=%f", view_climbvel * dt);
  notify_post(msg);
  view_panvx = pan_velocity(view_panvx, view_panx != 0.0f ? view_panx : view_edgepanx, dt);
  view_panvy = pan_velocity(view_panvy, view_pany != 0.0f ? view_pany : view_edgepany, dt);
  if (view_panvx != 0.0f || view_panvy != 0.0f) {
    snprintf(msg, sizeof msg, MSG_MOVECOI " dx=%f dy=%f", view_panvx * dt, view_panvy * dt);
    notify_post(msg);
  }
}
