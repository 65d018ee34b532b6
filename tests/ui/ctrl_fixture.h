// A flat world with the controller's handlers on the bus, the world view
// shown and every post recorded, shared by the controller and view tests.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ctrl.h"
#include "fresh_ui.h"
#include "hints.h"
#include "log.h"
#include "mtbe.h"
#include "notify.h"
#include "smenu.h"
#include "taxc.h"
#include "view.h"
#include "wld_init.h"
#include "wld_site.h"
#include "wld_state.h"

inline std::vector<std::string>& ctrl_posts() {
  static std::vector<std::string> posts;
  return posts;
}
inline void ctrl_record(const char* text) { ctrl_posts().push_back(text); }

// Posts whose text begins with prefix.
inline int ctrl_count(const std::string& prefix) {
  int n = 0;
  for (const std::string& p : ctrl_posts()) n += p.compare(0, prefix.size(), prefix) == 0;
  return n;
}

// A user data folder of its own for settings and saved games, gone afterwards.
struct ctrl_tempfiles {
  char dir[32] = "/tmp/tavorek_ctrlXXXXXX";
  const char* old = filesPath;
  ctrl_tempfiles() {
    EXPECT_NE(mkdtemp(dir), nullptr);
    filesPath = dir;
  }
  ~ctrl_tempfiles() {
    filesPath = old;
    std::filesystem::remove_all(dir);
  }
};

static const char* const ctrl_recorded[] = {
    "farmbuilt",    "bakerybuilt",       "hutbuilt",      "placebuilding", "buildmode",
    "movecoi",      "settings",          "workforce",     "showgoal",      "togglehud",
    "areaselect",   "camclimb",          "cameraControl", "dismisstoast",  "gobutton",
    "hire",         "infobutton",        "gameend",       "achievement",   "transcribesetting",
    "musicsetting", "difficultysetting", "guide",         "play",          "restart",
    "start"};

// Views, pointers, keys and the controller as a fresh game leaves them.
inline void ctrl_reset_ui() {
  view_reset();
  view_reset_pointers();
  view_layout(1280, 720);
  sdlmain_cheat = 0;
  ctrl_reset();
  ctrl_screenw = 1280.0f;
  ctrl_screenh = 720.0f;
  ctrl_difficulty = 1;
  hint_reset();
}

class CtrlTest : public WorldTest {
 protected:
  void SetUp() override {
    fresh_ui();
    site_flat(5);
    wld_init();
    wld_completed = 0;
    ctrl_reset_ui();
    view_shown[VIEW_WORLD] = 1;
    ctrl_listen();
    ctrl_posts().clear();
    for (const char* w : ctrl_recorded) notify_listen(w, ctrl_record);
  }
  void TearDown() override { fresh_ui(); }
  static void post(const std::string& text) { notify_post(text.c_str()); }
  // The pointer in drawable pixels, as the shell leaves it.
  static void point(float x, float y) { sdlmain_pointer = sdlmain_point{x, y}; }
};
