// The one orbit camera: it looks at a target point from a distance, at an orbit
// angle around the vertical z axis and an elevation above the ground plane. Two
// PID controllers make the target and the orbit offset follow their goals.
#pragma once
#include <cfloat>
#include <cstdint>

// Error is measured as current minus goal, so the gains are negative.
struct pid_state {
  float p, i, d;
  float prev[3];  // previous error; the orbit PID uses element 0 only
  float avg[3];   // averaged error
  uint8_t first;  // 1 until the first update
  uint8_t wrap;   // 1: the error is wrapped into [-pi, pi]
};

struct camera_state {
  float fov;                                           // vertical, radians
  float hfov = 0.94247782f;                            // horizontal, set with the projection
  float orbit;                                         // around z, kept in [-pi, pi]
  float elevation;                                     // above the horizontal
  float distance;                                      // target to eye
  float min_distance = 10.0f, max_distance = 1100.0f;  // clamp for distScale
  float orbit_offset, orbit_offset_goal;
  float target[3], target_goal[3];
  float relax_orbit, relax_elevation;  // -FLT_MAX: none
  float relax_factor;                  // share of the remaining angle per step; 0: off
  // Columns side, up, back (target to eye), eye.
  float camera_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float view_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float projection_matrix[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
};

extern camera_state camera;
extern pid_state camera_pid_orbit;   // drives orbit_offset to orbit_offset_goal
extern pid_state camera_pid_target;  // drives target to target_goal

// Resets the camera and both PIDs and listens for "cameraControl".
void camera_init(float fov);
// The camera and both PIDs as a fresh process has them (before camera_init).
void camera_reset();
void camera_set_perspective(float aspect, float znear, float zfar, bool offaxis);
// Height of the ground at a point (x, y) of the world, in world units.
typedef float (*camera_ground_fn)(float x, float y);
#define CAMERA_GROUND_CLEARANCE 0.5f  // how far the eye stays above the ground
// One fixed step: PIDs, relaxing, eye placement, camera and view matrices.
// The eye stays above the water and, given the ground, that clearance above it.
void camera_update(float dt, camera_ground_fn ground = nullptr);
void camera_orbit_add(float delta);
void camera_elevation_add(float delta);
void camera_on_control(const char* text);

// Both return 0 and change nothing for dt <= 0.
float pid_orbit_update(float dt);
float* pid_target_update(float dt, const float* current, const float* goal, float* out);
