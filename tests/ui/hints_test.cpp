#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <fstream>
#include <string>

#include "ctrl_fixture.h"
#include "kv.h"
#include "sengine.h"
#include "smenu.h"

namespace {

class HintTest : public CtrlTest {
 protected:
  void SetUp() override {
    CtrlTest::SetUp();
    hint_init();
  }
};

TEST_F(HintTest, SequenceThroughTheChain) {
  struct {
    const char* post;
    int step;
    bool shown;
  } steps[] = {
      {"movecoi dx=0 dy=0", 0, false},
      {"movecoi dx=5", 0, false},
      {"movecoi dx=0.01 dy=0", 1, true},
      {"farmbuilt", 1, false},
      {"missingbakery", 2, true},
      {"hutbuilt", 2, true},
      {"bakerybuilt", 2, false},
      {"newsilver", 3, true},
      {"newsilver", 4, true},
      {"newsilver", 4, true},
      {"missingbakery", 4, true},
      {"missinghut", 5, true},
      {"hutbuilt", 5, false},
      {"missinghut", 5, true},
  };
  for (auto& s : steps) {
    post(s.post);
    EXPECT_EQ(hint_step, s.step) << s.post;
    EXPECT_EQ(view_shown[VIEW_TOAST], s.shown) << s.post;
    EXPECT_EQ(toast_text != nullptr, s.shown) << s.post;
  }
}

TEST_F(HintTest, AfterALoad) {
  struct {
    const char* post;
    int step;
  } cases[] = {
      {"missinghut", -1}, {"movecoi dx=1 dy=1", -1}, {"newsilver", 3}, {"missingbakery", 2}};
  for (auto& c : cases) {
    hint_step = -1;
    post(c.post);
    EXPECT_EQ(hint_step, c.step) << c.post;
  }
}

TEST_F(HintTest, TimerOfAnEarlierToastDismissesTheHint) {
  toast_show("refused", 5.0f);
  toast_run_timer(4.0f);
  post("movecoi dx=1 dy=0");
  EXPECT_EQ(hint_step, 1);
  EXPECT_EQ(toast_timer, 1.0f);
  toast_run_timer(0.5f);
  EXPECT_EQ(ctrl_count("dismisstoast"), 0);
  toast_run_timer(0.5f);
  EXPECT_EQ(ctrl_count("dismisstoast"), 1);
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  EXPECT_EQ(toast_timer, -1.0f);
  toast_run_timer(10.0f);  // no timer left
  EXPECT_EQ(ctrl_count("dismisstoast"), 1);
}

// Pan keys and the window's edge move nothing behind the menu and start no
// hint there, so the first Escape on the menu still ends the game.
TEST_F(HintTest, NoHintStartsBehindTheMenu) {
  ctrl_show_menu_screen();
  view_key(SDLK_a, 1);
  view_update(0.1f);
  view_key(SDLK_a, 0);
  point(0, 300);
  view_pointer_move(false);
  view_update(0.1f);
  post("newsilver");
  EXPECT_EQ(ctrl_count("movecoi"), 2);
  EXPECT_EQ(hint_step, 0);
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  EXPECT_FALSE(ctrl_back());
  // Playing, the same pan starts the first hint.
  view_shown[VIEW_MENU] = 0;
  view_shown[VIEW_WORLD] = 1;
  view_update(0.1f);
  EXPECT_EQ(hint_step, 1);
  EXPECT_EQ(view_shown[VIEW_TOAST], 1);
}

TEST_F(HintTest, DismissAfterTheGameEndsGoesBack) {
  wld_gameover = 1;
  ctrl_buildmode = 3;
  toast_show("over", 10.0f);
  post("dismisstoast");
  EXPECT_EQ(ctrl_buildmode, 0);
  post("dismisstoast");
  EXPECT_EQ(view_shown[VIEW_MENU], 1);
  EXPECT_EQ(view_shown[VIEW_WORLD], 0);
}

// The settings store in a folder of its own.
class SettingsMenu : public CtrlTest {
 protected:
  ctrl_tempfiles files;
  void SetUp() override {
    CtrlTest::SetUp();
    filesPath = files.dir;
    settings_load();
    notify_listen("settings", settings_on_message);
  }
};

TEST_F(SettingsMenu, RowsFromTouchHeight) {
  struct {
    float touchy;
    int selected;
  } cases[] = {{0.5f, 0}, {0.47f, 0}, {0.45f, -1}, {0.6f, 1}, {0.9f, 5}, {0.999f, -1}, {1e30f, -1}};
  for (auto& c : cases) {
    ctrl_posts().clear();
    post("settings touchy=" + std::to_string(c.touchy) + " click=0");
    EXPECT_EQ(settings_selected, c.selected) << c.touchy;
    EXPECT_TRUE(ctrl_posts().size() == 1u) << c.touchy;  // only the hover itself
  }
}

TEST_F(SettingsMenu, ActivationStoresAndPostsAndReadsBackAtTheNextStart) {
  ASSERT_EQ(settings_values[SETTINGS_MUSIC], 1);
  post("settings touchy=0.6 click=1");
  EXPECT_EQ(settings_values[SETTINGS_MUSIC], 0);
  EXPECT_EQ(ctrl_count("musicsetting"), 1);
  for (int i = 0; i < 3; i++) post("settings touchy=0.65 click=1");
  EXPECT_EQ(ctrl_count("difficultysetting"), 3);
  EXPECT_EQ(kv_get("settings_difficulty", -5), 1);
  post("settings touchy=0.65 click=1");
  post("settings touchy=0.5 click=1");
  // A new start reads what was stored.
  settings_values[0] = settings_values[1] = settings_values[2] = 9;
  settings_load();
  EXPECT_EQ(settings_values[SETTINGS_TRANSCRIBE], 0);
  EXPECT_EQ(settings_values[SETTINGS_MUSIC], 0);
  EXPECT_EQ(settings_values[SETTINGS_DIFFICULTY], 2);
  post("play");
  EXPECT_EQ(ctrl_difficulty, 2);
  post("transcribesetting");
  EXPECT_EQ(ctrl_transcribe, 0);
}

TEST_F(SettingsMenu, ActionsAndNavigation) {
  post("settings touchy=0.73 click=1");
  EXPECT_EQ(ctrl_count("guide"), 1);
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  // A second copy opens only a page an earlier session left.
  userdir_refuse(USERDIR_NOT_OWNER);
  post("guide");
  EXPECT_NE(std::string(toast_text ? toast_text : "").find("guide"), std::string::npos);
  toast_hide();
  std::ofstream(std::string(files.dir) + "/" USERDIR_GUIDE_PAGE) << "left";
  post("guide");
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  ctrl_posts().clear();
  post("settings touchy=0.9 click=1");
  EXPECT_EQ(ctrl_count("restart"), 1);
  EXPECT_EQ(ctrl_posts().back(), "play");  // restart first, then play
  settings_selected = 0;
  post("settings dx=1");
  EXPECT_EQ(settings_values[SETTINGS_TRANSCRIBE], 0);
  EXPECT_EQ(kv_get("settings_transcribe", 7), 7);  // in memory only
  settings_selected = -1;
  post("settings dy=1");
  EXPECT_EQ(settings_selected, 0);
  settings_selected = 5;
  post("settings dy=1");
  EXPECT_EQ(settings_selected, -1);
  settings_selected = 2;
  post("settings selected=1");
  EXPECT_EQ(ctrl_count("difficultysetting"), 1);
}

// A stored value out of range reads as the nearest end of its range, the same
// for the menu, the controller and the sound engine, at the cost of one ERR line.
TEST_F(SettingsMenu, StoredValuesOutOfRangeReadTheSameEverywhere) {
  struct {
    int setting;
    const char* stored;
    int read;
    bool err;
  } cases[] = {
      {KV_MUSIC, "-1", 0, true},      {KV_MUSIC, "", 1, false},
      {KV_TRANSCRIBE, "2", 1, true},  {KV_DIFFICULTY, "7", 2, true},
      {KV_DIFFICULTY, "2", 2, false}, {KV_EMOTE, "99999999999", 1, true},
  };
  const int32_t flags = sengine_flags;
  for (auto& c : cases) {
    const char* key = kv_settings[c.setting].key;
    SCOPED_TRACE(testing::Message() << key << " '" << c.stored << "'");
    std::ofstream(std::string(files.dir) + "/." + key) << c.stored;
    testing::internal::CaptureStdout();
    EXPECT_EQ(kv_setting(c.setting), c.read);
    const std::string log = testing::internal::GetCapturedStdout();
    EXPECT_EQ(log.rfind("ERR ", 0) == 0 && log.find('\n') == log.size() - 1, c.err) << log;
    testing::internal::CaptureStdout();  // the readers below do not repeat it
    settings_load();
    sengine_read_music_setting();
    post("play");
    EXPECT_EQ(testing::internal::GetCapturedStdout().find("ERR "), std::string::npos);
    if (c.setting < SETTINGS_STORED) {
      EXPECT_EQ(settings_values[c.setting], c.read);
    }
    if (c.setting == KV_MUSIC) {
      EXPECT_EQ(sengine_flags & SENGINE_MUSIC_BIT, c.read);
    }
    if (c.setting == KV_DIFFICULTY) {
      EXPECT_EQ(ctrl_difficulty, c.read);
    }
  }
  sengine_flags = flags;
}

}  // namespace
