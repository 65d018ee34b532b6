#include "randplay_hand.h"

#include <cmath>
#include <cstdio>

#include "camera.h"
#include "ctrl.h"
#include "matrix.h"
#include "msgwords.h"
#include "notify.h"
#include "view.h"
#include "wld.h"
#include "wld_state.h"

#define PAN_SCALE 0.4f  // the controller's ground motion per unit of pointer travel and distance

static bool on_ground;  // the pointer rests on the ground point (ground_x, ground_y)
static float ground_x, ground_y;

static bool held() { return sdlmain_held[0] || sdlmain_held[1] || sdlmain_held[2]; }

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
  *sx = (nx + 1.0f) * 0.5f * RANDPLAY_W;
  *sy = (ny + 1.0f) * 0.5f * RANDPLAY_H;
  *depth = (nz + 1.0f) * 0.5f;
  return true;
}

bool hand_sees(float x, float y) {
  float sx, sy, depth;
  return project(x, y, &sx, &sy, &depth);
}

bool hand_aim(float x, float y) {
  float sx, sy, depth;
  if (!project(x, y, &sx, &sy, &depth)) return false;
  sdlmain_pointer = sdlmain_point{sx, sy};
  on_ground = true;
  ground_x = x, ground_y = y;
  view_pointer_move(held());
  return true;
}

void hand_aim_view(int view, float fx, float fy) {
  const view_rectangle r = view_rect[view];
  sdlmain_pointer = sdlmain_point{r.x + fx * r.w, r.y + fy * r.h};
  on_ground = false;
  view_pointer_move(held());
}

void hand_down() {
  if (view_pointer_down(SDLMAIN_PTR_LEFT) == VIEW_WORLD) {
    sdlmain_held[0] = 1;
    sdlmain_buttons |= SDLMAIN_BIT_LEFT;
  }
}

void hand_up() {
  view_pointer_up(SDLMAIN_PTR_LEFT);
  for (int v = view_find_pointer(SDLMAIN_PTR_LEFT); v >= 0; v = view_find_pointer(SDLMAIN_PTR_LEFT))
    view_ptr[v].id = -1;
  sdlmain_released = 1;
  sdlmain_held[0] = 0;
}

void hand_drag(float dx, float dy) {
  sdlmain_pointer.x += dx * RANDPLAY_H;
  sdlmain_pointer.y -= dy * RANDPLAY_H;  // the window's y grows downwards
  on_ground = false;
  if (sdlmain_held[0] && view_shown[VIEW_WORLD]) {
    char msg[80];
    snprintf(msg, sizeof msg, MSG_MOVECOI " dx=%f dy=%f", dx, dy);
    notify_post(msg);
  }
  view_pointer_move(held());
}

static void unit_ground(const float* column, float out[2]) {
  const float len = sqrtf(column[0] * column[0] + column[1] * column[1]);
  out[0] = len > 1e-6f ? column[0] / len : 0.0f;
  out[1] = len > 1e-6f ? column[1] / len : 0.0f;
}

bool hand_motion_for(float gx, float gy, float* dx, float* dy) {
  // The controller moves the centre by m = -k dx R + k dy F and a picked body by -m.
  float R[2], F[2];
  unit_ground(&camera.camera_matrix[0], R);
  unit_ground(&camera.camera_matrix[4], F);
  const float k = PAN_SCALE * camera.distance;
  const float a[2] = {-k * R[0], -k * R[1]}, b[2] = {k * F[0], k * F[1]};
  const float det = a[0] * b[1] - a[1] * b[0];
  if (fabsf(det) < 1e-6f) return false;
  const float m[2] = {-gx, -gy};
  *dx = (m[0] * b[1] - m[1] * b[0]) / det;
  *dy = (a[0] * m[1] - a[1] * m[0]) / det;
  return true;
}

void hand_key(int32_t key, bool down) { view_key(key, down ? 1 : 0); }

void hand_frame(int32_t steps) {
  const double dt = steps * (double)WLD_STEP;
  ctrl_update(steps, dt);
  ctrl_draw((float)dt, (float)dt);  // without programs it only takes the frame's camera
  float sx = 0.0f, sy = 0.0f, depth = 1.0f;
  // The hand follows its ground point as the camera moves, unless it holds a button.
  if (on_ground && project(ground_x, ground_y, &sx, &sy, &depth) && !held())
    sdlmain_pointer = sdlmain_point{sx, sy};
  ctrl_pick(on_ground ? depth : 1.0f);
  if (sdlmain_released) ctrl_release();
  sdlmain_buttons = sdlmain_released = 0;
}

void hand_reset() {
  on_ground = false;
  ground_x = ground_y = 0.0f;
}
