// The controller's frame: camera and world while playing, the end of the
// game, picking under the pointer, and the back action.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "bakeries.h"
#include "camera.h"
#include "crowd.h"
#include "ctrl.h"
#include "ctrl_handlers.h"
#include "farms.h"
#include "hints.h"
#include "huts.h"
#include "light.h"
#include "matrix.h"
#include "msgwords.h"
#include "notify.h"
#include "sengine.h"
#include "stones.h"
#include "view.h"
#include "wld.h"
#include "wld_place.h"
#include "wld_state.h"
#include "wld_update.h"

#define CTRL_TWO_PI 6.2831855f
#define CTRL_TEXT_SZ 256

static char ctrl_warning[CTRL_TEXT_SZ];

// The terrain under a point: the highest of the four cells (centres at +0.5)
// that the ground's surface blends there; off the grid, the water.
static float eye_ground(float x, float y) {
  const int cx = (int)floorf(x - 0.5f), cy = (int)floorf(y - 0.5f);
  int h = 0;
  for (int dy = 0; dy < 2; dy++)
    for (int dx = 0; dx < 2; dx++) {
      const int gx = cx + dx, gy = cy + dy;
      if (gx >= 0 && gx < GRIDSZ && gy >= 0 && gy < GRIDSZ)
        h = std::max(h, (int)wld_height[grid_cidx(gx, gy)]);
    }
  return grid_z(h);
}

// The camera follows the centre of interest from its height plus the climb,
// its eye kept above the terrain.
static void follow_coi(int32_t steps) {
  camera.target_goal[0] = ctrl_coi[0];
  camera.target_goal[1] = ctrl_coi[1];
  camera.target_goal[2] = ctrl_coiheight * 0.15f + ctrl_climb;
  camera.orbit_offset = camera.orbit_offset_goal = 0.0f;
  ctrl_restart_pid(&camera_pid_orbit);
  ctrl_viewstale = true;
  // The light looks straight down on the centre.
  light.eye[0] = light.target[0] = ctrl_coi[0];
  light.eye[1] = light.target[1] = ctrl_coi[1];
  light.eye[2] = 10.0f;
  light.target[2] = 0.0f;
  light.uptodate = 0;
  for (int s = 0; s < steps; s++) camera_update(WLD_STEP, eye_ground);
  light_update();
}

static void show_go_button_when_ready() {
  if (!wld_started && !view_shown[VIEW_GO] && view_shown[VIEW_WORLD] && farms_count > 0 &&
      huts_count > 0 && bakeries_count > 0)
    view_shown[VIEW_GO] = 1;
}

void ctrl_show_end_toast() {
  if (wld_completed)
    toast_show(
        "You have completed your task.\nYou bask in the glory of a\nworthy service to the Pharao!",
        TOAST_END_TIME);
  else
    toast_show(
        "Too many exhaustion casualties\ncaused your builders to halt\nwork. May the Pharaoh have "
        "mercy\non you! -- GAME OVER.",
        TOAST_END_TIME);
}

static void decide_end() {
  const bool lost = wld_numdead > wld_death_limit(ctrl_difficulty, crowd_sz);
  const bool won = stones_pyramid_level == 0;
  if (won) wld_completed = 1;
  if (lost) stones_halt();  // builders halt
  if (!won && !lost) {
    int32_t percent = 0;
    if (!ctrl_warned && wld_critical_dead(&percent)) {
      snprintf(ctrl_warning, sizeof ctrl_warning,
               "The Pharaoh learned of the death\ntoll which is close to %d%%. He\n"
               "considers revoking your mandate.\nFINAL WARNING.",
               percent);
      toast_show(ctrl_warning, TOAST_WARNING_TIME);
      ctrl_warned = 1;
    }
    return;
  }
  if (won) notify_post(MSG_ACHIEVEMENT " name=a_ombrelith");
  wld_gameover = 1;
  ctrl_show_end_toast();
  char msg[CTRL_TEXT_SZ];
  snprintf(msg, sizeof msg, MSG_GAMEEND " win=%d age=%f crowd=%d numdead=%d",
           won && !sdlmain_cheat ? 1 : 0, wld_age, crowd_sz, wld_numdead);
  notify_post(msg);
}

void ctrl_update(int32_t steps, double dt) {
  notify_flush();
  view_update((float)dt);
  if (view_shown[VIEW_MENU] || !view_shown[VIEW_WORLD]) return;
  follow_coi(steps);
  ctrl_skyangle += 10.0f * (float)dt;
  if (ctrl_skyangle > CTRL_TWO_PI) ctrl_skyangle -= CTRL_TWO_PI;
  wld_update(steps, dt);
  static const float still[3] = {0.0f, 0.0f, 0.0f};
  sengine_set_listener(still, camera.camera_matrix);
  show_go_button_when_ready();
  // Without a world there is nothing to win or lose.
  if (wld_gameover || !wld_initialised) return;
  decide_end();
}

bool ctrl_unproject(const float* view, const float* proj, float sx, float sy, float depth,
                    float width, float height, float out[2]) {
  if (!(width > 0.0f) || !(height > 0.0f)) return false;
  float pv[16], inv[16];
  mat4_mul(proj, pv, view);
  mat4_invert(pv, inv);
  const float p[4] = {2.0f * sx / width - 1.0f, 2.0f * sy / height - 1.0f, 2.0f * depth - 1.0f,
                      1.0f};
  float q[4];
  for (int r = 0; r < 4; r++)
    q[r] = inv[r] * p[0] + inv[4 + r] * p[1] + inv[8 + r] * p[2] + inv[12 + r] * p[3];
  if (q[3] == 0.0f) return false;
  out[0] = q[0] / q[3];
  out[1] = q[1] / q[3];
  return std::isfinite(out[0]) && std::isfinite(out[1]);
}

static bool inside_grid(float x, float y) {
  return x >= 0.0f && x < GRIDSZ && y >= 0.0f && y < GRIDSZ;
}

void ctrl_pick(float depth) {
  ctrl_pointer[0] = (int32_t)sdlmain_pointer.x;
  ctrl_pointer[1] = (int32_t)sdlmain_pointer.y;
  float p[2];
  if (depth < 1.0f && ctrl_unproject(ctrl_drawcam[1], ctrl_drawcam[2], sdlmain_pointer.x,
                                     sdlmain_pointer.y, depth, ctrl_screenw, ctrl_screenh, p)) {
    if (sdlmain_buttons & SDLMAIN_BIT_LEFT) wld_pick(p[0], p[1]);
    // Off the terrain there is no cursor cell, and no verdict with it.
    const bool over = inside_grid(p[0], p[1]);
    ctrl_cursor[0] = over ? (int32_t)p[0] : -1;
    ctrl_cursor[1] = over ? (int32_t)p[1] : -1;
    ctrl_canplace = ctrl_test_cursor();
    if (view_hit(ctrl_pointer[0], ctrl_pointer[1]) == VIEW_WORLD) {
      if (sdlmain_buttons) ctrl_pressstate = 1;
      return;
    }
  }
  ctrl_cursor[0] = ctrl_cursor[1] = -1;
  ctrl_canplace = 0;
  if (sdlmain_buttons) ctrl_pressstate = 1;
}

bool ctrl_back() {
  if (view_shown[VIEW_TOAST]) {
    notify_post(MSG_DISMISSTOAST);
    return true;
  }
  if (ctrl_buildmode > CTRL_MODE_NONE) {
    ctrl_buildmode = CTRL_MODE_NONE;
    return true;
  }
  if (view_shown[VIEW_HIRE_PANEL]) {
    ctrl_close_hire_panel();
    return true;
  }
  if (!view_shown[VIEW_WORLD]) return false;
  view_shown[VIEW_WORLD] = 0;
  view_shown[VIEW_MENU] = view_shown[VIEW_BANNER] = 1;
  sengine_play_music(1);
  return true;
}

void ctrl_release() {
  wld_selected = -1;
  wld_selectedcat = -1;
  ctrl_pressstate = 0;
}
