#include <gtest/gtest.h>

#include "light.h"

namespace {

// Straight down from fifty above; moved without clearing the flag, nothing
// is rebuilt.
TEST(Light, MatricesAreRebuiltOnlyAfterAChange) {
  light_init();
  light_update();
  const float camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 50, 1};
  for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(light.camera_matrix[i], camera[i]) << i;
  EXPECT_FLOAT_EQ(light.view_matrix[14], -50);
  light.eye[0] = 30;
  light_update();
  EXPECT_FLOAT_EQ(light.camera_matrix[12], 0);
  light_set_ortho(20, 1, 44);
  light_update();
  EXPECT_FLOAT_EQ(light.camera_matrix[12], 30);
  EXPECT_FLOAT_EQ(light.camera_matrix[5], 1);  // upright along the world's y axis
  EXPECT_FLOAT_EQ(light.projection_matrix[5], 0.05f);
}

TEST(Light, EmptyLineListDrawsWithoutTouchingGl) {
  lines_count = 0;
  const float cam[48] = {};
  testing::internal::CaptureStdout();
  lines_draw(cam);  // no context here: any GL call or lookup would show
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

}  // namespace
