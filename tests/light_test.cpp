#include <gtest/gtest.h>

#include "light.h"

namespace {

TEST(Light, InitLooksStraightDownFromFiftyAbove) {
  light_init();
  EXPECT_FLOAT_EQ(light.projection_matrix[0], 0.025f);
  EXPECT_FLOAT_EQ(light.projection_matrix[10], -2.0f / 280);
  EXPECT_FLOAT_EQ(light.projection_matrix[14], -300.0f / 280);
  EXPECT_EQ(light.uptodate, 0);
  light_update();
  const float camera[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 50, 1};
  for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(light.camera_matrix[i], camera[i]) << i;
  EXPECT_FLOAT_EQ(light.view_matrix[14], -50);
  EXPECT_EQ(light.uptodate, 1);
}

TEST(Light, MatricesAreRebuiltOnlyAfterAChange) {
  light_init();
  light_update();
  light.eye[0] = 30;  // moved without clearing the flag: nothing is rebuilt
  light_update();
  EXPECT_FLOAT_EQ(light.camera_matrix[12], 0);
  light_set_ortho(20, 1, 44);
  light_update();
  EXPECT_FLOAT_EQ(light.camera_matrix[12], 30);
  // The image stays upright along the world's y axis.
  EXPECT_FLOAT_EQ(light.camera_matrix[4], 0);
  EXPECT_FLOAT_EQ(light.camera_matrix[5], 1);
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
