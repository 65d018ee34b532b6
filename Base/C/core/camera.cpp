#include "camera.h"

#include <cmath>

#include "log.h"
#include "matrix.h"
#include "msgwords.h"
#include "notify.h"

camera_state camera;
pid_state camera_pid_orbit;
pid_state camera_pid_target;

static const double PI = 3.14159265358979323846;
static const float ELEVATION_LIMIT = 1.5704822f;  // just under a quarter turn
static const float EYE_FLOOR = -0.12f;            // the eye never goes below the water
static const float FLOOR_ELEVATION_MIN = -1.5393804f;
static const float FLOOR_ELEVATION_MAX = 1.3823008f;

// One turn at most each way: inputs stay within two turns.
static double wrap_angle(double a) {
  if (a > PI) a -= 2 * PI;
  if (a < -PI) a += 2 * PI;
  return a;
}

static float clampf(float v, float lo, float hi) { return v < lo ? lo : (v > hi ? hi : v); }

static void pid_reset(pid_state* pid, float p, float i, float d, uint8_t wrap) {
  *pid = pid_state{p, i, d, {0, 0, 0}, {0, 0, 0}, 1, wrap};
}

void camera_reset() {
  camera = camera_state{};
  camera_pid_orbit = camera_pid_target = pid_state{};
}

void camera_init(float fov) {
  camera.fov = fov;
  camera.orbit = 0.0f;
  camera.elevation = 0.16f;
  camera.distance = 8.0f;
  camera.orbit_offset = camera.orbit_offset_goal = 0.0f;
  for (int k = 0; k < 3; k++) camera.target[k] = camera.target_goal[k] = 0.0f;
  camera.relax_orbit = camera.relax_elevation = -FLT_MAX;
  camera.relax_factor = 0.0f;
  mat4_identity(camera.camera_matrix);
  mat4_identity(camera.view_matrix);
  pid_reset(&camera_pid_orbit, -0.05f, -0.05f, -0.01f, 1);
  pid_reset(&camera_pid_target, -0.07f, -0.06f, -0.008f, 0);
  notify_listen(MSG_CAMERACONTROL, camera_on_control);
}

void camera_set_perspective(float aspect, float znear, float zfar, bool offaxis) {
  // A minimised window reports no size; keep the last good projection.
  if (!(aspect > 0.0f) || std::isinf(aspect)) {
    LOG("ERR Camera aspect ratio %f ignored", aspect);
    return;
  }
  const float t = tanf(camera.fov / 2);
  const float f = 1.0f / t;
  camera.hfov = 2.0f * atanf(t * aspect);
  float* m = camera.projection_matrix;
  for (int i = 0; i < 16; i++) m[i] = 0.0f;
  m[0] = f / aspect;
  m[5] = f;
  m[9] = offaxis ? -0.25f : 0.0f;  // image up by a quarter of the half-height
  m[10] = (znear + zfar) / (znear - zfar);
  m[11] = -1.0f;
  m[14] = 2.0f * zfar * znear / (znear - zfar);
}

void camera_orbit_add(float delta) {
  camera.orbit = (float)wrap_angle((double)camera.orbit + delta);
}

void camera_elevation_add(float delta) {
  camera.elevation = clampf(camera.elevation + delta, -ELEVATION_LIMIT, ELEVATION_LIMIT);
}

// One component of a PID step; the caller clears the first-call flag afterwards.
static float pid_term(pid_state* pid, int k, float e, float dt) {
  if (pid->first) pid->prev[k] = pid->avg[k] = e;
  const float d = (e - pid->prev[k]) / dt;
  pid->avg[k] = (1.0f - dt) * pid->avg[k] + dt * e;
  pid->prev[k] = e;
  return pid->p * e + pid->i * pid->avg[k] + pid->d * d;
}

float pid_orbit_update(float dt) {
  if (dt <= 0.0f) return 0.0f;
  pid_state* pid = &camera_pid_orbit;
  float e = camera.orbit_offset - camera.orbit_offset_goal;
  if (pid->wrap) e = (float)wrap_angle(e);
  const float r = pid_term(pid, 0, e, dt);
  pid->first = 0;
  return r;
}

float* pid_target_update(float dt, const float* current, const float* goal, float* out) {
  for (int k = 0; k < 3; k++) out[k] = 0.0f;
  if (dt <= 0.0f) return out;
  pid_state* pid = &camera_pid_target;
  for (int k = 0; k < 3; k++) out[k] = pid_term(pid, k, current[k] - goal[k], dt);
  pid->first = 0;
  return out;
}

static void relax_towards_goals() {
  if (!(camera.relax_factor > 0.0f)) return;
  if (camera.relax_orbit > -FLT_MAX)
    camera_orbit_add((float)wrap_angle(camera.relax_orbit - camera.orbit) * camera.relax_factor);
  if (camera.relax_elevation > -FLT_MAX)
    camera_elevation_add((float)wrap_angle(camera.relax_elevation - camera.elevation) *
                         camera.relax_factor);
}

// Normalises v in place; false (v untouched) when it is too short to have a direction.
static bool normalise(float* v) {
  const float sq = v[0] * v[0] + v[1] * v[1] + v[2] * v[2];
  if (sq < 1e-20f) return false;
  const float s = 1.0f / sqrtf(sq);
  for (int k = 0; k < 3; k++) v[k] *= s;
  return true;
}

// Look-at with z up; the third column points from the target to the eye.
static void place_camera(const float* eye, const float* target) {
  float back[3] = {eye[0] - target[0], eye[1] - target[1], eye[2] - target[2]};
  if (!normalise(back)) back[0] = 0, back[1] = 0, back[2] = 1;  // eye on the target
  float side[3] = {-back[1], back[0], 0.0f};
  if (!normalise(side)) side[0] = 1, side[1] = 0, side[2] = 0;  // looking straight down or up
  const float up[3] = {back[1] * side[2] - back[2] * side[1], back[2] * side[0] - back[0] * side[2],
                       back[0] * side[1] - back[1] * side[0]};
  float* m = camera.camera_matrix;
  const float* cols[4] = {side, up, back, eye};
  for (int c = 0; c < 4; c++) {
    for (int k = 0; k < 3; k++) m[4 * c + k] = cols[c][k];
    m[4 * c + 3] = c == 3 ? 1.0f : 0.0f;
  }
  mat4_invert(camera.camera_matrix, camera.view_matrix);
}

void camera_update(float dt, camera_ground_fn ground) {
  float step[3];
  pid_target_update(dt, camera.target, camera.target_goal, step);
  for (int k = 0; k < 3; k++) camera.target[k] += step[k];
  camera.orbit_offset += pid_orbit_update(dt);
  camera.orbit_offset = (float)wrap_angle(camera.orbit_offset);
  relax_towards_goals();

  const float a = camera.orbit + camera.orbit_offset;
  const float ce = cosf(camera.elevation);
  const float dir[3] = {-ce * cosf(a), -ce * sinf(a), sinf(camera.elevation)};
  float eye[3];
  for (int k = 0; k < 3; k++) eye[k] = camera.target[k] + camera.distance * dir[k];
  float floor = EYE_FLOOR;
  if (ground) floor = fmaxf(floor, ground(eye[0], eye[1]) + CAMERA_GROUND_CLEARANCE);
  if (eye[2] < floor) {
    const float horizontal = hypotf(eye[0] - camera.target[0], eye[1] - camera.target[1]);
    camera.elevation = clampf(atan2f(floor - camera.target[2], horizontal), FLOOR_ELEVATION_MIN,
                              FLOOR_ELEVATION_MAX);
    eye[2] = floor;
  }
  place_camera(eye, camera.target);
}

// Gives *v the float behind key; false when the key is absent.
static bool float_param(const char* text, const char* key, float* v) {
  *v = notify_float(text, key);
  return *v > -FLT_MAX;
}

static float nearest_quarter_turn(float a) {
  if (a < -0.75 * PI) return (float)PI;
  if (a < -0.25 * PI) return (float)(-PI / 2);
  if (a < 0.25 * PI) return 0.0f;
  if (a < 0.75 * PI) return (float)(PI / 2);
  return (float)PI;
}

void camera_on_control(const char* text) {
  float v;
  if (float_param(text, "distScale", &v))
    camera.distance = clampf(camera.distance * v, camera.min_distance, camera.max_distance);
  if (float_param(text, "orbitDelta", &v)) camera_orbit_add(v);
  if (float_param(text, "elevationDelta", &v)) camera_elevation_add(v);
  if (float_param(text, "distSetting", &v)) camera.distance = v;
  if (float_param(text, "orbitSetting", &v)) camera.orbit = v;
  if (float_param(text, "elevationSetting", &v)) camera.elevation = v;
  if (float_param(text, "aspectRatio", &v))
    camera_set_perspective(v, 0.1f, 150.0f, notify_int(text, "offaxis") > 0);
  if (float_param(text, "relaxOrbit", &v)) camera.relax_orbit = v;
  if (float_param(text, "relaxElevation", &v)) camera.relax_elevation = v;
  if (float_param(text, "relaxFactor", &v)) {
    camera.relax_factor = v;
    if (v == 0.0f) camera.relax_orbit = camera.relax_elevation = -FLT_MAX;
  }
  // An absent key snaps too; only an explicit 0 keeps the relax orbit.
  if (notify_int(text, "relaxSnapOrbit") != 0)
    camera.relax_orbit = nearest_quarter_turn(camera.orbit);
}
