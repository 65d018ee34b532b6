#include <gtest/gtest.h>

#include <string>

#include "ctrl_fixture.h"
#include "userdir.h"
#include "wld_save.h"

namespace {

// A session that may not write in the user data folder still loads the
// player's game, and tells the player so on screen.
TEST_F(CtrlTest, ASessionThatCannotSaveLoadsAndSaysSo) {
  ctrl_tempfiles files;
  wld_age = 321.0;
  ASSERT_TRUE(wld_save());
  wld_age = 0.0;
  testing::internal::CaptureStdout();
  userdir_refuse(USERDIR_READ_ONLY);
  post("serialize out=0");
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(wld_age, 321.0);
  EXPECT_EQ(view_shown[VIEW_TOAST], 1);
  EXPECT_NE(std::string(toast_text ? toast_text : "").find("cannot be saved"), std::string::npos);
}

}  // namespace
