#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string>

#include "camera.h"
#include "fresh_core.h"
#include "matrix.h"
#include "notify.h"

namespace {

const float kPi = 3.14159265f;
const float kStep = 1.0f / 240.0f;

struct CameraTest : ::testing::Test {
  void SetUp() override {
    fresh_core();
    camera_init(0.22f * kPi);
    camera.min_distance = 10.0f;
    camera.max_distance = 1100.0f;
  }
  void TearDown() override { fresh_core(); }
};

TEST_F(CameraTest, InitListensAndResetsState) {
  camera.orbit = 2.0f;
  camera.relax_factor = 0.3f;
  camera.target_goal[1] = 5.0f;
  camera_init(0.5f);
  EXPECT_FLOAT_EQ(camera.fov, 0.5f);
  EXPECT_EQ(camera.orbit, 0.0f);
  EXPECT_FLOAT_EQ(camera.elevation, 0.16f);
  EXPECT_FLOAT_EQ(camera.distance, 8.0f);
  EXPECT_EQ(camera.relax_factor, 0.0f);
  EXPECT_EQ(camera.relax_orbit, -FLT_MAX);
  EXPECT_EQ(camera.target_goal[1], 0.0f);
  // Registered once however often it is initialised.
  EXPECT_EQ(notify_post("cameraControl distSetting=42"), 1);
  EXPECT_FLOAT_EQ(camera.distance, 42.0f);
}

TEST_F(CameraTest, OrbitWrapsAndElevationClamps) {
  camera.orbit = 3.0f;
  camera_orbit_add(0.5f);
  EXPECT_FLOAT_EQ(camera.orbit, -2.7831855f);
  camera_orbit_add(-1.0f);
  EXPECT_FLOAT_EQ(camera.orbit, 2.5f);
  camera_orbit_add(0.25f);
  EXPECT_FLOAT_EQ(camera.orbit, 2.75f);
  camera_elevation_add(5.0f);
  EXPECT_FLOAT_EQ(camera.elevation, 1.5704822f);
  camera_elevation_add(-10.0f);
  EXPECT_FLOAT_EQ(camera.elevation, -1.5704822f);
}

TEST_F(CameraTest, DistScaleClampsSettingsDoNot) {
  camera.distance = 10.0f;
  notify_post("cameraControl distScale=0.500000");
  EXPECT_FLOAT_EQ(camera.distance, 10.0f);
  camera.distance = 1000.0f;
  notify_post("cameraControl distScale=2.000000");
  EXPECT_FLOAT_EQ(camera.distance, 1100.0f);
  notify_post("cameraControl distScale=0.5");
  EXPECT_FLOAT_EQ(camera.distance, 550.0f);
  notify_post("cameraControl distSetting=50.0 elevationSetting=0.5 orbitSetting=1.57");
  EXPECT_FLOAT_EQ(camera.distance, 50.0f);
  EXPECT_FLOAT_EQ(camera.elevation, 0.5f);
  EXPECT_FLOAT_EQ(camera.orbit, 1.57f);
  notify_post("cameraControl elevationSetting=3 orbitSetting=7");  // neither clamped nor wrapped
  EXPECT_FLOAT_EQ(camera.elevation, 3.0f);
  EXPECT_FLOAT_EQ(camera.orbit, 7.0f);
}

TEST_F(CameraTest, DeltasGoThroughWrapAndClamp) {
  camera.orbit = 3.0f;
  notify_post("cameraControl elevationDelta=2.000000 orbitDelta=0.500000");
  EXPECT_FLOAT_EQ(camera.orbit, -2.7831855f);
  EXPECT_FLOAT_EQ(camera.elevation, 1.5704822f);
}

TEST_F(CameraTest, DistSettingAloneAlsoSnapsRelaxOrbit) {
  camera.orbit = 1.0f;
  camera.elevation = 0.3f;
  notify_post("cameraControl distSetting=5000");
  EXPECT_FLOAT_EQ(camera.distance, 5000.0f);
  EXPECT_FLOAT_EQ(camera.relax_orbit, kPi / 2);
  // Relax factor 0: nothing moves.
  camera_update(kStep);
  EXPECT_FLOAT_EQ(camera.orbit, 1.0f);
  EXPECT_FLOAT_EQ(camera.elevation, 0.3f);
}

TEST_F(CameraTest, SnapPicksNearestQuarterTurn) {
  const struct {
    float orbit, snapped;
  } cases[] = {{-3.0f, kPi},    {-2.0f, -kPi / 2}, {-0.7f, 0.0f}, {0.7f, 0.0f},
               {1.0f, kPi / 2}, {2.0f, kPi / 2},   {2.5f, kPi}};
  for (const auto& c : cases) {
    camera.orbit = c.orbit;
    notify_post("cameraControl relaxSnapOrbit=1");
    EXPECT_FLOAT_EQ(camera.relax_orbit, c.snapped) << "orbit " << c.orbit;
  }
  camera.relax_orbit = 0.3f;
  notify_post("cameraControl relaxSnapOrbit=0");
  EXPECT_FLOAT_EQ(camera.relax_orbit, 0.3f);
}

TEST_F(CameraTest, RelaxFactorZeroClearsGoals) {
  notify_post("cameraControl relaxOrbit=1 relaxElevation=0.4 relaxFactor=0.5 relaxSnapOrbit=0");
  EXPECT_FLOAT_EQ(camera.relax_orbit, 1.0f);
  EXPECT_FLOAT_EQ(camera.relax_elevation, 0.4f);
  EXPECT_FLOAT_EQ(camera.relax_factor, 0.5f);
  notify_post("cameraControl relaxFactor=0 relaxSnapOrbit=0");
  EXPECT_EQ(camera.relax_orbit, -FLT_MAX);
  EXPECT_EQ(camera.relax_elevation, -FLT_MAX);
}

TEST_F(CameraTest, RelaxingTakesTheShortWayPerStep) {
  camera.orbit = 3.0f;
  camera.elevation = 0.2f;
  camera.relax_orbit = -3.0f;  // 0.28 ahead across the seam, not 6 behind
  camera.relax_elevation = 0.6f;
  camera.relax_factor = 0.25f;
  camera_update(kStep);
  EXPECT_NEAR(camera.orbit, 3.0f + 0.25f * (2 * kPi - 6.0f), 1e-5f);
  EXPECT_NEAR(camera.elevation, 0.3f, 1e-6f);
  camera_update(kStep);  // the same share again, not scaled by dt
  EXPECT_NEAR(camera.elevation, 0.375f, 1e-6f);
  for (int i = 0; i < 200; i++) camera_update(kStep);
  EXPECT_NEAR(camera.orbit, -3.0f, 1e-4f);
}

TEST_F(CameraTest, PerspectiveElements) {
  camera_set_perspective(16.0f / 9.0f, 1.0f, 400.0f, false);
  const float* m = camera.projection_matrix;
  const float f = 1.0f / tanf(0.11f * kPi);
  EXPECT_FLOAT_EQ(m[0], f * 9.0f / 16.0f);
  EXPECT_FLOAT_EQ(m[5], f);
  EXPECT_EQ(m[9], 0.0f);
  EXPECT_FLOAT_EQ(m[10], -401.0f / 399.0f);
  EXPECT_EQ(m[11], -1.0f);
  EXPECT_FLOAT_EQ(m[14], -800.0f / 399.0f);
  for (int i : {1, 2, 3, 4, 6, 7, 8, 12, 13, 15}) EXPECT_EQ(m[i], 0.0f) << "element " << i;
  EXPECT_FLOAT_EQ(camera.hfov, 2.0f * atanf(tanf(0.11f * kPi) * 16.0f / 9.0f));

  notify_post("cameraControl aspectRatio=2.000000 offaxis=1");
  EXPECT_FLOAT_EQ(m[0], f / 2.0f);
  EXPECT_FLOAT_EQ(m[9], -0.25f);
  EXPECT_FLOAT_EQ(m[10], 150.1f / -149.9f);
  EXPECT_FLOAT_EQ(m[14], 2.0f * 150.0f * 0.1f / -149.9f);
  notify_post("cameraControl aspectRatio=2.000000");
  EXPECT_EQ(m[9], 0.0f);
}

TEST_F(CameraTest, ZeroAspectKeepsLastProjection) {
  camera_set_perspective(1.5f, 1.0f, 400.0f, false);
  const float before = camera.projection_matrix[0];
  const float hfov = camera.hfov;
  notify_post("cameraControl aspectRatio=0");
  camera_set_perspective(NAN, 1.0f, 400.0f, false);
  EXPECT_EQ(camera.projection_matrix[0], before);
  EXPECT_EQ(camera.hfov, hfov);
}

TEST_F(CameraTest, UpdatePlacesEyeAndViewMatrix) {
  camera.target_goal[0] = camera.target[0] = 3.0f;
  camera.orbit = 0.5f;
  camera_update(kStep);
  const float* m = camera.camera_matrix;
  const float ce = cosf(0.16f);
  EXPECT_NEAR(m[12], 3.0f - 8 * ce * cosf(0.5f), 1e-5f);
  EXPECT_NEAR(m[13], -8 * ce * sinf(0.5f), 1e-5f);
  EXPECT_NEAR(m[14], 8 * sinf(0.16f), 1e-5f);
  EXPECT_EQ(m[15], 1.0f);
  // Side is horizontal and up leans towards +z; the basis is right-handed.
  EXPECT_EQ(m[2], 0.0f);
  EXPECT_GT(m[6], 0.0f);
  EXPECT_NEAR(mat4_determinant(m), 1.0f, 1e-5f);
  // The view matrix puts the target straight ahead, distance units in front.
  const float* v = camera.view_matrix;
  const float p[3] = {3.0f, 0.0f, 0.0f};
  float q[3];
  for (int r = 0; r < 3; r++) q[r] = v[r] * p[0] + v[4 + r] * p[1] + v[8 + r] * p[2] + v[12 + r];
  EXPECT_NEAR(q[0], 0.0f, 1e-5f);
  EXPECT_NEAR(q[1], 0.0f, 1e-5f);
  EXPECT_NEAR(q[2], -8.0f, 1e-5f);
}

TEST_F(CameraTest, EyeFloorLiftsElevation) {
  camera.elevation = -0.2f;
  camera_update(kStep);
  EXPECT_FLOAT_EQ(camera.elevation, atan2f(-0.12f, 8 * cosf(0.2f)));
  EXPECT_FLOAT_EQ(camera.camera_matrix[14], -0.12f);
  EXPECT_NEAR(camera.camera_matrix[12], -8 * cosf(0.2f), 1e-5f);
  // Straight down from far above the floor is clamped, not flipped.
  camera.target[2] = camera.target_goal[2] = 50.0f;
  camera.elevation = -1.5704822f;
  camera.distance = 60.0f;
  camera_update(kStep);
  EXPECT_FLOAT_EQ(camera.elevation, -1.5393804f);
}

TEST_F(CameraTest, TargetFollowsGoal) {
  // The gains the game controller runs with.
  camera_pid_target.p = -0.035f;
  camera_pid_target.i = -0.025f;
  camera_pid_target.d = -0.002f;
  camera.target_goal[0] = 10.0f;
  camera.target_goal[2] = -4.0f;
  camera_update(kStep);
  // The first step is (P + I) e per component.
  EXPECT_NEAR(camera.target[0], (-0.035f - 0.025f) * -10.0f, 1e-5f);
  EXPECT_NEAR(camera.target[2], (-0.035f - 0.025f) * 4.0f, 1e-5f);
  EXPECT_EQ(camera.target[1], 0.0f);
  for (int i = 0; i < 240 * 5; i++) camera_update(kStep);
  EXPECT_NEAR(camera.target[0], 10.0f, 0.01f);
  EXPECT_NEAR(camera.target[2], -4.0f, 0.01f);
}

TEST_F(CameraTest, EyeOnTargetStaysFinite) {
  notify_post("cameraControl distSetting=0");
  camera_update(kStep);
  for (int i = 0; i < 16; i++) EXPECT_TRUE(std::isfinite(camera.view_matrix[i])) << i;
}

TEST_F(CameraTest, OrbitPidFirstUpdateAndWrap) {
  camera.orbit_offset = 0.3f;
  EXPECT_NEAR(pid_orbit_update(kStep), (-0.05f - 0.05f) * 0.3f, 1e-7f);
  EXPECT_EQ(camera_pid_orbit.first, 0);
  // Second step: derivative of the change and the running average.
  camera.orbit_offset = 0.2f;
  const float avg = (1 - kStep) * 0.3f + kStep * 0.2f;
  EXPECT_NEAR(pid_orbit_update(kStep), -0.05f * 0.2f - 0.05f * avg - 0.01f * (-0.1f / kStep),
              1e-5f);
  // Across the seam the error is the short way round.
  camera_init(0.5f);
  camera.orbit_offset = 3.0f;
  camera.orbit_offset_goal = -3.0f;
  EXPECT_NEAR(pid_orbit_update(kStep), -0.1f * (6.0f - 2 * kPi), 1e-5f);
  EXPECT_EQ(pid_orbit_update(0.0f), 0.0f);
}

TEST_F(CameraTest, TargetPidZeroDtKeepsFirstCall) {
  const float cur[3] = {1, 2, 3}, goal[3] = {0, 0, 0};
  float out[3] = {9, 9, 9};
  pid_target_update(0.0f, cur, goal, out);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_EQ(out[2], 0.0f);
  EXPECT_EQ(camera_pid_target.first, 1);
  pid_target_update(kStep, cur, goal, out);
  for (int k = 0; k < 3; k++) EXPECT_NEAR(out[k], -0.13f * cur[k], 1e-6f);
  EXPECT_EQ(camera_pid_target.first, 0);
}

// A hill of 3 units round (64, 64) falling to the water 20 cells out.
float hill(float x, float y) {
  const float r = hypotf(x - 64.0f, y - 64.0f);
  return r < 20.0f ? 3.0f * (1.0f - r / 20.0f) : 0.0f;
}

// On the summit, under it pitched down, behind it, over it from its foot and
// zoomed out below the horizon, while the player keeps pitching down.
TEST_F(CameraTest, EyeStaysAboveTheGroundWhateverTheOrbitZoomAndPitch) {
  const struct {
    float target[3], orbit, distance, elevation;
  } cases[] = {{{64, 64, 3}, 0, 4, -0.3f},
               {{64, 64, 3}, 1.57f, 10, -1.2f},
               {{70, 64, 1.5f}, 3.1f, 30, -0.05f},
               {{80, 64, 0}, 0, 50, 0},
               {{58, 64, 2}, -2, 264, -0.6f}};
  for (const auto& c : cases) {
    SCOPED_TRACE("orbit " + std::to_string(c.orbit) + " distance " + std::to_string(c.distance));
    camera_init(0.22f * kPi);
    for (int k = 0; k < 3; k++) camera.target[k] = camera.target_goal[k] = c.target[k];
    camera.orbit = c.orbit;
    camera.distance = c.distance;
    for (int s = 0; s < 240; s++) {
      camera.elevation = std::min(camera.elevation, c.elevation);
      camera_update(kStep, hill);
      const float* eye = &camera.camera_matrix[12];
      ASSERT_GE(eye[2], hill(eye[0], eye[1]) + CAMERA_GROUND_CLEARANCE - 1e-4f) << "step " << s;
    }
  }
}

}  // namespace
