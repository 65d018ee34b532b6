#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "bakeries.h"
#include "camera.h"
#include "crowd.h"
#include "ctrl_fixture.h"
#include "farms.h"
#include "hire.h"
#include "huts.h"
#include "matrix.h"
#include "save_game.h"
#include "stones.h"
#include "userdir.h"
#include "wld.h"
#include "wld_jobs.h"
#include "wld_place.h"
#include "wld_save.h"
#include "wld_start.h"

namespace {

const char* const NO_SILVER = "You don't have enough silver\nto build that.";
const char* const NO_FARM = "Without a farm field your\nproject is doomed.\nBuild that instead!";
const char* const NO_BAKERY = "Without a bakery your\nproject is doomed.\nBuild that instead!";

class CtrlBuild : public CtrlTest {};

void aim(int x, int y) { ctrl_cursor[0] = x, ctrl_cursor[1] = y; }

TEST_F(CtrlBuild, CostsReservesAndRefusals) {
  struct {
    int silver, farms, bakeries, mode;
    int want_mode;
    const char* toast;  // null: none
  } cases[] = {
      {200, 0, 0, 1, 1, nullptr},   {200, 0, 0, 2, 2, nullptr},   {200, 0, 0, 3, 3, nullptr},
      {200, 0, 0, 4, 0, NO_SILVER}, {110, 1, 0, 1, 0, NO_BAKERY}, {10, 0, 0, 5, 0, NO_FARM},
      {0, 1, 1, 5, 5, nullptr},     {31, 1, 1, 3, 0, NO_SILVER},  {300, 1, 1, 4, 4, nullptr},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.silver << " mode " << c.mode);
    site_flat(5);
    wld_init();
    for (int f = 0; f < c.farms; f++) farms_add(20 + 4 * f, 20);
    for (int b = 0; b < c.bakeries; b++) bakeries_add(20 + 4 * b, 100);
    taxc_silver = c.silver;
    ctrl_buildmode = 0;
    hint_reset();
    post("buildmode selected=" + std::to_string(c.mode));
    EXPECT_EQ(ctrl_buildmode, c.want_mode);
    EXPECT_STREQ(toast_text, c.toast);
    EXPECT_EQ(toast_timer, c.toast ? 5.0f : 0.0f);
    EXPECT_EQ(view_shown[VIEW_TOAST], c.toast != nullptr);
  }
  EXPECT_EQ(ctrl_build_cost(6), -1);
  post("buildmode selected=4");
  EXPECT_EQ(ctrl_buildmode, 0);  // the same button again toggles off
  view_shown[VIEW_WORLD] = 0;
  post("buildmode selected=1");
  EXPECT_EQ(ctrl_buildmode, 0);
}

TEST_F(CtrlBuild, PlacingChargesOnlyWhatTheModuleBuilt) {
  struct {
    int mode, x, y, cost;
    const char* event;
    int (*count)();
  } cases[] = {
      {1, 20, 20, 20, "farmbuilt", [] { return (int)farms_count; }},
      {2, 20, 30, 100, "bakerybuilt", [] { return (int)bakeries_count; }},
      {3, 30, 20, 32, "hutbuilt", [] { return (int)huts_count; }},
      {4, 30, 30, 300, nullptr, [] { return (int)taxc_count; }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.mode);
    const int before = c.count();
    // The second time the site is taken: nothing charged, nothing posted.
    for (int again = 0; again < 2; again++) {
      taxc_silver = 1000;
      post("buildmode selected=" + std::to_string(c.mode));
      ASSERT_EQ(ctrl_buildmode, c.mode);
      ctrl_posts().clear();
      aim(c.x, c.y);
      post("placebuilding");
      EXPECT_EQ(c.count(), before + 1);
      EXPECT_EQ(taxc_silver, again ? 1000 : 1000 - c.cost);
      EXPECT_EQ(c.event ? ctrl_count(c.event) : 0, c.event && !again);
      EXPECT_EQ(ctrl_buildmode, again ? c.mode : 0);
    }
    ctrl_buildmode = 0;
  }
}

TEST_F(CtrlBuild, StaleVerdictAndLostSilverPlaceNothing) {
  taxc_silver = 200;
  post("buildmode selected=1");
  ctrl_canplace = 1;  // left over from another cell
  aim(-1, -1);
  post("placebuilding");
  aim(0, 40);  // the footprint leaves the grid
  post("placebuilding");
  EXPECT_EQ(farms_count, 0);
  EXPECT_EQ(taxc_silver, 200);
  EXPECT_EQ(ctrl_canplace, 0);
  // Build mode survives the hire panel; the silver it needed may not.
  taxc_silver = 5;
  aim(20, 20);
  post("placebuilding");
  EXPECT_EQ(farms_count, 0);
  EXPECT_EQ(taxc_silver, 5);
  EXPECT_STREQ(toast_text, NO_SILVER);
  EXPECT_EQ(ctrl_buildmode, 0);
  // After the game is lost nothing is placed.
  taxc_silver = 200;
  post("buildmode selected=1");
  wld_gameover = 1;
  post("placebuilding");
  EXPECT_EQ(farms_count, 0);
}

int marks_in(int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) n += (wld_cellflags[y * GRIDSZ + x] >> 4) == MARK;
  return n;
}

TEST_F(CtrlBuild, AreaTogglesInsideTheGridOnly) {
  taxc_silver = 200;
  farms_add(60, 120);
  bakeries_add(70, 120);
  post("buildmode selected=5");
  ASSERT_EQ(ctrl_buildmode, 5);
  aim(10, 10);
  post("placebuilding");
  EXPECT_EQ(marks_in(10, 10, 10, 10), 1);
  post("placebuilding");
  EXPECT_EQ(marks_in(10, 10, 10, 10), 0);
  aim(3, 4);
  post("areaselect val=1");
  aim(9, 9);
  post("areaselect val=1");  // the first corner stays
  EXPECT_EQ(ctrl_anchor[0], 3);
  post("areaselect val=0");
  EXPECT_EQ(ctrl_anchor[0], -1);
  // A corner off the grid (the cursor is not clamped) is clipped to it.
  while (nummarks > 0) stones_remove_mark(stones_markcidx[0], 1);
  ctrl_anchor[0] = 300;
  ctrl_anchor[1] = 5;
  aim(120, 4);
  post("placebuilding");
  // Columns 120..126 of rows 4 and 5; column 127 is the water border.
  EXPECT_EQ(nummarks, 7 * 2);
  EXPECT_EQ(marks_in(120, 4, 126, 5), 7 * 2);
  // A rectangle larger than the table fills it and stops.
  ctrl_anchor[1] = 120;
  aim(3, 100);
  post("placebuilding");
  EXPECT_EQ(nummarks, MAXMARKS);
  EXPECT_EQ(ctrl_buildmode, 5);
}

class CtrlFlow : public CtrlTest {};

TEST_F(CtrlFlow, BackChain) {
  ctrl_buildmode = 2;
  toast_show("x", 5.0f);
  EXPECT_TRUE(ctrl_back());
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  EXPECT_EQ(ctrl_buildmode, 2);
  EXPECT_TRUE(ctrl_back());
  EXPECT_EQ(ctrl_buildmode, 0);
  // The hire panel closes and play goes on.
  taxc_silver = 50;
  farms_add(20, 20);
  bakeries_add(20, 30);
  post("hire");
  EXPECT_EQ(view_shown[VIEW_HIRE_PANEL], 1);
  EXPECT_EQ(view_shown[VIEW_WORLD], 0);
  EXPECT_TRUE(ctrl_back());
  EXPECT_EQ(view_shown[VIEW_HIRE_PANEL], 0);
  EXPECT_EQ(view_shown[VIEW_WORLD], 1);
  EXPECT_EQ(view_shown[VIEW_LABOR], 1);
  // Pause to the menu, where nothing is left.
  EXPECT_TRUE(ctrl_back());
  EXPECT_EQ(view_shown[VIEW_MENU], 1);
  EXPECT_EQ(view_shown[VIEW_WORLD], 0);
  EXPECT_FALSE(ctrl_back());
}

TEST_F(CtrlFlow, HireAndGoCommitTheCounts) {
  notify_listen("workforce", hire_on_workforce);
  hire_set_go_button([](int shown) { view_shown[VIEW_GO] = (uint8_t)shown; });
  taxc_silver = 0;
  post("hire");
  EXPECT_STREQ(toast_text, "You do not have enough silver\nto hire more workers.");
  taxc_silver = 50;
  post("hire");
  EXPECT_EQ(view_shown[VIEW_HIRE_PANEL], 0);
  farms_add(20, 20);
  bakeries_add(20, 30);
  post("hire");
  ASSERT_EQ(view_shown[VIEW_HIRE_PANEL], 1);
  post("gobutton");  // nothing chosen: the panel stays
  EXPECT_EQ(view_shown[VIEW_HIRE_PANEL], 1);
  post("workforce type=1 x=0.1 click=1");
  post("workforce type=1 x=0.1 click=1");
  EXPECT_EQ(view_shown[VIEW_GO], 1);
  const int queued = spawnqueues[1];
  post("gobutton");
  EXPECT_EQ(taxc_silver, 48);
  EXPECT_EQ(spawnqueues[1], queued + 2);
  EXPECT_EQ(view_shown[VIEW_GO], 0);
  EXPECT_EQ(view_shown[VIEW_WORLD], 1);
  EXPECT_EQ(view_shown[VIEW_INFO], 0);
  crowd_sz = CROWDSZ - spawnqueues[0] - spawnqueues[1] - spawnqueues[2] - spawnqueues[3] - 1;
  post("hire");
  hire_counts[0] = 3;  // one fits in the crowd
  post("gobutton");
  EXPECT_EQ(taxc_silver, 47);
  notify_unlisten("workforce", hire_on_workforce);
  hire_set_go_button(nullptr);
}

TEST_F(CtrlFlow, EndOfGame) {
  struct {
    int difficulty, crowd, dead, level, cheat;
    int over;
    const char* gameend;  // win=..., null: not ended
  } cases[] = {
      {0, 25, 10, 7, 0, 0, nullptr},        {0, 25, 11, 7, 0, 1, "gameend win=0"},
      {2, 25, 1, 7, 0, 0, nullptr},         {2, 25, 2, 7, 0, 1, "gameend win=0"},
      {1, 25, 9, 0, 0, 1, "gameend win=1"}, {1, 25, 0, 0, 1, 1, "gameend win=0"},
      {7, 25, 1, 7, 0, 1, "gameend win=0"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.difficulty << " dead " << c.dead);
    ctrl_posts().clear();
    wld_gameover = wld_completed = 0;
    ctrl_difficulty = c.difficulty;
    crowd_sz = c.crowd;
    wld_numdead = c.dead;
    stones_pyramid_level = c.level;
    sdlmain_cheat = c.cheat;
    ctrl_warned = 1;
    ctrl_update(0, 0.0);
    EXPECT_EQ(wld_gameover, c.over);
    EXPECT_EQ(ctrl_count(c.gameend ? c.gameend : "gameend"), c.gameend ? 1 : 0);
    EXPECT_EQ(ctrl_count("achievement name=a_ombrelith"), c.level == 0 ? 1 : 0);
    EXPECT_EQ(wld_completed, c.level == 0);
  }
  crowd_sz = 0;
  wld_numdead = 0;
}

TEST_F(CtrlFlow, RestartStartsAFreshGame) {
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(TAVOREK_RUN_DIR);  // the game's working directory
  wld_completed = 1;
  wld_gameover = 1;
  hint_step = 4;
  wld_age = 18.49;  // the game before, whose end and records are its own
  post("restart");
  EXPECT_EQ(wld_age, 0.0);
  EXPECT_EQ(wld_completed, 0);
  EXPECT_EQ(wld_gameover, 0);
  EXPECT_EQ(wld_started, 1);
  EXPECT_EQ(taxc_count, 1);
  EXPECT_EQ(hint_step, 0);
  EXPECT_EQ(ctrl_count("movecoi dx=0 dy=0"), 1);
  std::filesystem::current_path(cwd);
}

// The start's centre move is ignored behind the menu; play takes the height.
TEST_F(CtrlFlow, PlayAimsTheCameraAtTheCentresHeight) {
  ctrl_coi[0] = ctrl_coi[1] = 64.0f;
  wld_height[64 * GRIDSZ + 64] = 40;
  ctrl_coiheight = 0;
  ctrl_tempfiles files;  // play reads the difficulty setting
  post("play");
  EXPECT_EQ(ctrl_coiheight, 40);
}

TEST(CtrlPick, UnprojectsThroughTheCamera) {
  float view[16], proj[16], out[2], zero[16] = {};
  mat4_identity(view);
  mat4_identity(proj);
  // Identity camera: the screen's corners are -1..1, top row at -1.
  ASSERT_TRUE(ctrl_unproject(view, proj, 1920, 0, 0.5f, 1920, 1080, out));
  EXPECT_FLOAT_EQ(out[0], 1.0f);
  EXPECT_FLOAT_EQ(out[1], -1.0f);
  EXPECT_FALSE(ctrl_unproject(view, zero, 0, 0, 0.5f, 100, 100, out));
}

TEST_F(CtrlFlow, PickSetsCursorOnlyOverTheGrid) {
  mat4_identity(ctrl_drawcam[1]);
  mat4_identity(ctrl_drawcam[2]);
  ctrl_drawcam[1][12] = -64.0f;  // screen centre over cell 64
  ctrl_drawcam[1][13] = -64.0f;
  point(640, 360);
  ctrl_pick(0.5f);
  EXPECT_EQ(ctrl_cursor[0], 64);
  EXPECT_EQ(ctrl_cursor[1], 64);
  ctrl_drawcam[1][12] = 10.0f;  // off the grid
  ctrl_canplace = 1;
  ctrl_pick(0.5f);
  EXPECT_EQ(ctrl_cursor[0], -1);
  EXPECT_EQ(ctrl_canplace, 0);
  ctrl_drawcam[1][12] = -64.0f;
  ctrl_screenw = ctrl_screenh = 0.0f;  // a window of no size
  ctrl_pick(0.5f);
  EXPECT_EQ(ctrl_cursor[0], -1);
  ctrl_screenw = 1280.0f;
  ctrl_screenh = 720.0f;
  sdlmain_buttons = SDLMAIN_BIT_RIGHT;
  ctrl_pick(1.0f);  // the sky
  EXPECT_EQ(ctrl_cursor[0], -1);
  EXPECT_EQ(ctrl_pressstate, 1);
}

TEST(CtrlDebugOutput, NeedsTheExtensionAndItsEntryPoint) {
  const char* with[] = {"GL_ARB_vertex_array_object", "GL_ARB_debug_output"};
  const char* lookalike[] = {"GL_XYZ_debug_output_extra", "GL_AMD_debug_output"};
  int entry = 0;
  EXPECT_TRUE(ctrl_debug_output_usable(with, 2, &entry));
  EXPECT_FALSE(ctrl_debug_output_usable(with, 2, nullptr));
  EXPECT_FALSE(ctrl_debug_output_usable(lookalike, 2, &entry));
  EXPECT_FALSE(ctrl_debug_output_usable(with, 0, &entry));
}

// Frames of eight steps while the world view is shown.
void play_for(double seconds) {
  for (int f = 0; f < (int)(seconds * 30); f++) ctrl_update(8, 8 * (double)WLD_STEP);
}

void build(int mode, int x, int y) {
  notify_post(("buildmode selected=" + std::to_string(mode)).c_str());
  aim(x, y);
  notify_post("placebuilding");
}

// A builder lays n blocks from the stock on the mark at (x, y), as the world does.
void lay_blocks(int x, int y, int n) {
  for (int b = 0; b < n; b++) {
    bool changed = false;
    ASSERT_EQ(stones_deposit(stones_take(0), x, y, wld_height, &changed), 1);
    if (changed) wld_update_cell_costs(grid_cidx(x, y));
  }
}

void kill(int n) {
  for (int i = 0; n > 0 && i < crowd_sz; i++)
    if (crowd_goal[i] != JOB_DEAD) wld_kill(i), n--;
}

// Every layer of the pyramid marked and filled.
void finish_pyramid() {
  for (int L = 0; L < 7; L++)
    for (int y = 62 + L; y <= 74 - L; y++)
      for (int x = 36 + L; x <= 48 - L; x++) {
        if ((wld_cellflags[grid_cidx(x, y)] >> 4) != MARK) stones_toggle_mark(grid_cidx(x, y));
        lay_blocks(x, y, STONE_SLOTS);
      }
}

void mark_fill_and_remove() {
  notify_post("buildmode selected=5");
  aim(20, 20);
  notify_post("areaselect val=1");
  aim(23, 21);
  notify_post("placebuilding");
  notify_post("areaselect val=0");
  lay_blocks(20, 20, 4);
  lay_blocks(21, 20, STONE_SLOTS);
  lay_blocks(36, 62, 2);
  for (int x : {20, 36, 21, 22}) {  // back to the stock, the next layer, an empty one
    aim(x, x == 36 ? 62 : 20);
    notify_post("placebuilding");
  }
  play_for(1.0);
}

// A game on a plateau high enough for the pyramid, with a farm field, a
// bakery, a hut and ten workers, on Baby: four dead warn, five lose.
void begin_game() {
  mtbe_clear();
  site_flat(38);
  ASSERT_TRUE(wld_start_new_game());
  ctrl_reset_ui();
  view_shown[VIEW_WORLD] = 1;
  wld_gameover = wld_completed = 0;
  ctrl_difficulty = 0;
  taxc_silver = 1000;
  build(1, 80, 50);
  build(2, 96, 50);
  build(3, 100, 30);
  notify_post("hire");
  hire_counts[0] = 3, hire_counts[1] = hire_counts[2] = hire_counts[3] = 1;
  notify_post("gobutton");
  play_for(6.0);
  ASSERT_EQ(crowd_sz, 10);
}

// Whatever play leaves behind loads again, and the loaded game saves the
// very same pair.
TEST_F(CtrlFlow, EveryStateOfPlaySavesAndLoadsTheSamePair) {
  struct {
    const char* state;
    void (*reach)();
    bool (*reached)();
  } cases[] = {
      {"playing", [] {}, [] { return wld_started == 1; }},
      {"marks placed, filled and removed", mark_fill_and_remove,
       [] { return stones_numdeposited == STONE_SLOTS; }},
      {"in a build mode", [] { notify_post("buildmode selected=2"), aim(50, 50); },
       [] { return ctrl_buildmode == 2; }},
      {"mid-hire", [] { notify_post("hire"), hire_counts[0] = 3; },
       [] { return view_shown[VIEW_HIRE_PANEL] == 1; }},
      {"warned", [] { kill(4), play_for(0.5); }, [] { return ctrl_warned == 1 && !wld_gameover; }},
      {"lost", [] { kill(5), play_for(1.0); }, [] { return wld_gameover && !wld_completed; }},
      {"won", [] { finish_pyramid(), play_for(1.0); },
       [] { return wld_gameover && wld_completed; }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.state);
    testing::internal::CaptureStdout();
    begin_game();
    c.reach();
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(c.reached());
    const SavePair first = save_pair_of_world();
    testing::internal::CaptureStdout();
    const bool loaded = save_pair_load(first);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(loaded) << log;
    EXPECT_EQ(log.find("ERR"), std::string::npos) << log;
    EXPECT_TRUE(save_pair_of_world() == first);
  }
  crowd_sz = 0;
}

// A game that ended loads over with its toast, and ends no second time.
TEST_F(CtrlFlow, AnEndedGameLoadsOverWithItsToast) {
  ctrl_tempfiles files;
  for (bool won : {false, true}) {
    testing::internal::CaptureStdout();
    begin_game();
    won ? finish_pyramid() : kill(5);
    play_for(1.0);
    ASSERT_TRUE(wld_gameover && wld_save());
    begin_game();  // the next start's new world, which the saved one replaces
    toast_hide();
    ctrl_posts().clear();
    post("serialize out=0");
    play_for(0.5);
    testing::internal::GetCapturedStdout();
    const char* words = won ? "completed your task" : "GAME OVER";
    EXPECT_TRUE(wld_gameover && view_shown[VIEW_TOAST] && strstr(toast_text, words)) << won;
    EXPECT_EQ(ctrl_count("gameend") + ctrl_count("achievement"), 0) << won;
  }
  crowd_sz = 0;
}

// A damaged saved game at start: logged, set aside, the player told, the new
// world stays.
TEST_F(CtrlFlow, DamagedSaveAtStartLeavesTheNewGame) {
  ctrl_tempfiles files;
  testing::internal::CaptureStdout();
  post("serialize out=0");  // no saved game: nothing to tell
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  const std::string txt = std::string(files.dir) + "/game.txtsav";
  std::ofstream(txt) << "version 103\nwld_age banana\n";
  std::ofstream(std::string(files.dir) + "/game.binsav") << "x";
  hint_step = 0;
  testing::internal::CaptureStdout();  // the damaged pair's ERR line
  post("serialize out=0");
  testing::internal::GetCapturedStdout();
  EXPECT_TRUE(std::filesystem::exists(txt + ".rejected-1"));
  EXPECT_EQ(hint_step, 0);
  EXPECT_EQ(taxc_silver, 200);
  EXPECT_EQ(view_shown[VIEW_TOAST], 1);
  EXPECT_NE(std::string(toast_text ? toast_text : "").find("saved game"), std::string::npos);
  // A good pair loads and the first hint no longer comes.
  ASSERT_TRUE(wld_save());
  post("serialize");
  EXPECT_EQ(hint_step, -1);
  EXPECT_EQ(view_shown[VIEW_TOAST], 0);
  chmod(files.dir, 0555);  // readable, not writable: the game loads, the player is told
  EXPECT_EXIT(
      {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(9);  // root writes through any mode
        hint_step = 0;
        userdir_claim(files.dir);
        post("serialize");
        _exit(hint_step != -1 || !strstr(toast_text ? toast_text : "", "cannot be saved"));
      },
      testing::ExitedWithCode(0), "");
  chmod(files.dir, 0700);
  // A second copy leaves a damaged pair in place and says both.
  userdir_refuse(USERDIR_NOT_OWNER);
  std::ofstream(txt) << "version 103\nwld_age banana\n";
  post("serialize");
  EXPECT_TRUE(std::filesystem::exists(txt));
  EXPECT_FALSE(std::filesystem::exists(txt + ".rejected-2"));
  EXPECT_NE(std::string(toast_text).find("could not be\nread"), std::string::npos);
  EXPECT_NE(std::string(toast_text).find("cannot be saved"), std::string::npos);
  userdir_reset();
  for (int n = 2; n <= REGFILE_MAXASIDE; n++)  // no name left to keep a refused pair aside
    std::filesystem::create_symlink("/nonexistent", txt + ".rejected-" + std::to_string(n));
  std::ofstream(txt) << "version 102\n";
  post("serialize");
  EXPECT_FALSE(wld_save());
  EXPECT_EQ(std::filesystem::file_size(txt), 12u);
}

// The game's working folder with a terrain map of the test's making, gone
// afterwards.
struct ctrl_rundir {
  const std::filesystem::path old = std::filesystem::current_path();
  char dir[32] = "/tmp/tavorek_runXXXXXX";
  ctrl_rundir() {
    EXPECT_NE(mkdtemp(dir), nullptr);
    std::filesystem::create_directory(std::string(dir) + "/testmaps");
    std::filesystem::current_path(dir);
  }
  ~ctrl_rundir() {
    std::filesystem::current_path(old);
    std::filesystem::remove_all(dir);
  }
};

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

int err_lines(const std::string& log) {
  int n = 0;
  for (size_t at = log.find("ERR "); at != std::string::npos; at = log.find("ERR ", at + 1)) n++;
  return n;
}

// A terrain map that cannot be read starts no game: one line in the log, a
// message on screen, no play and no save over the player's pair, which still
// loads as it stands.
TEST_F(CtrlFlow, AnUnreadableTerrainMapStartsNoGameAndKeepsTheSavedOne) {
  ctrl_tempfiles files;
  ctrl_rundir run;
  const std::string txt = std::string(files.dir) + "/game.txtsav",
                    bin = std::string(files.dir) + "/game.binsav";
  save_game_build();
  ASSERT_TRUE(wld_save());
  const std::string saved_txt = file_bytes(txt), saved_bin = file_bytes(bin);
  const std::string map = WLD_MAPFILE;
  struct {
    const char* kind;
    void (*make)(const std::string& path);
  } maps[] = {
      {"missing", [](const std::string&) {}},
      {"a folder", [](const std::string& p) { std::filesystem::create_directory(p); }},
      {"a FIFO", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0644), 0); }},
      {"64x64",
       [](const std::string& p) {
         std::ofstream(p) << "P5\n64 64\n255\n" << std::string(64 * 64, 'x');
       }},
  };
  for (auto& m : maps)
    for (bool saved : {true, false}) {
      SCOPED_TRACE(testing::Message() << m.kind << (saved ? ", a saved game" : ", no saved game"));
      // As the process starts: no world, the menu shown.
      wld_exit();
      wld_initialised = wld_started = 0;
      ctrl_show_menu_screen();
      std::filesystem::remove_all(map);
      m.make(map);
      if (saved) {
        std::ofstream(txt, std::ios::binary) << saved_txt;
        std::ofstream(bin, std::ios::binary) << saved_bin;
      } else {
        std::filesystem::remove(txt);
        std::filesystem::remove(bin);
      }
      testing::internal::CaptureStdout();
      post("start headless=0");
      post("serialize out=0");
      const std::string log = testing::internal::GetCapturedStdout();
      EXPECT_EQ(err_lines(log), 1) << log;
      post("play");
      // A loaded game runs and may be saved; without one the player is told and may quit.
      if (saved) {
        EXPECT_EQ(crowd_sz, 10);
      }
      EXPECT_EQ(view_shown[VIEW_WORLD], saved);
      EXPECT_EQ(view_shown[VIEW_TOAST], !saved);
      if (!saved) {
        EXPECT_NE(std::string(toast_text).find("terrain map"), std::string::npos);
        EXPECT_TRUE(ctrl_back());  // the message goes, then nothing is left to close
        EXPECT_FALSE(ctrl_back());
      }
      post("serialize out=1");
      EXPECT_TRUE(file_bytes(txt) == (saved ? saved_txt : "")) << "the text file";
      EXPECT_TRUE(file_bytes(bin) == (saved ? saved_bin : "")) << "the binary file";
      EXPECT_EQ(std::filesystem::exists(txt), saved);
    }
}

}  // namespace
