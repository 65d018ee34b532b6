// A session that may not write in the user data folder: the player's game
// still loads, the player is told on screen, and the quit saves nothing.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "ctrl_fixture.h"
#include "userdir.h"
#include "wld_save.h"

namespace {

std::string bytes_of(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path, std::ios::binary).rdbuf();
  return s.str();
}

class CtrlFolder : public CtrlTest {};

TEST_F(CtrlFolder, ASessionThatCannotSaveLoadsTellsAndKeepsThePair) {
  ctrl_tempfiles files;
  const std::string txt = std::string(files.dir) + "/game.txtsav";
  wld_age = 321.0;
  ASSERT_TRUE(wld_save());
  const std::string saved = bytes_of(txt);
  wld_age = 0.0;
  testing::internal::CaptureStdout();
  userdir_refuse(USERDIR_NOT_OWNER);
  post("serialize out=0");
  wld_age += 5.0;  // played on
  post("serialize out=1");
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(wld_age, 326.0);
  EXPECT_EQ(hint_step, -1);
  EXPECT_EQ(view_shown[VIEW_TOAST], 1);
  EXPECT_NE(std::string(toast_text ? toast_text : "").find("cannot be saved"), std::string::npos);
  EXPECT_EQ(bytes_of(txt), saved);
}

}  // namespace
