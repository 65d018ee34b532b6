#include "randplay.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "camera.h"
#include "crowd.h"
#include "ctrl.h"
#include "hints.h"
#include "hire.h"
#include "kv.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "randplay_player.h"
#include "smenu.h"
#include "threadpool.h"
#include "view.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_walls.h"

static randplay_result* res;
static double played;  // game seconds of this run, across loads and restarts
static std::string dir;

static void fault(const char* line) {
  if (res->faults < RANDPLAY_KEPT) {
    res->fault[res->faults].played = played;
    snprintf(res->fault[res->faults++].line, sizeof res->fault[0].line, "%s", line);
  }
}

static std::string bytes(const char* name) {
  std::ifstream in(dir + name, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

static void show_go(int shown) { view_shown[VIEW_GO] = (uint8_t)shown; }

// A new process up to its first frame: the controller's start without a
// window (its camera, handlers, views and new game), then the saved game.
static void next_start() {
  wld_reset(), notify_reset(), kv_reset(), camera_reset(), ctrl_reset(), view_reset();
  view_reset_pointers(), hint_reset(), settings_reset(), hire_reset(), randplay_forget();
  ctrl_init_camera();
  notify_listen(MSG_SETTINGS, settings_on_message);
  settings_load();
  notify_listen(MSG_WORKFORCE, hire_on_workforce);
  hire_set_go_button(show_go);
  ctrl_screenw = 1280, ctrl_screenh = 720;
  camera_set_perspective(1280.0f / 720, 1.0f, 400.0f, false);
  for (int k = 0; k < 2; k++) camera.target[k] = camera.target_goal[k] = 64.0f;
  ctrl_listen();
  notify_post(MSG_CAMERACONTROL " distSetting=50.0 elevationSetting=0.5 orbitSetting=1.57");
  view_layout(1280, 720);
  ctrl_show_menu_screen();
  view_shown[VIEW_INFO] = 1;
  notify_post(MSG_START " headless=0");
  ctrl_transcribe = settings_read(SETTINGS_TRANSCRIBE);
  hint_init();
}

// What a load rebuilds rather than reads: every edge's walls and step costs.
static void take_edges(float* e) {
  for (int c = 0; c < GRIDCELLS; c++, e += 6) {
    e[0] = wld_eastwalls[c] != nullptr, e[1] = wld_southwalls[c] != nullptr;
    e[2] = basecostw[c], e[3] = basecoste[c], e[4] = basecostn[c], e[5] = basecosts[c];
  }
}

// Saved as at the game's end, loaded at the next start, saved again at once.
static void save_and_start_again() {
  static float before[GRIDCELLS * 6], after[GRIDCELLS * 6];
  char line[200];
  notify_post(MSG_SERIALIZE " out=1");
  res->saves++;
  const std::string saved[2] = {bytes("/game.txtsav"), bytes("/game.binsav")};
  take_edges(before);
  char* log = nullptr;
  size_t len = 0;
  FILE* kept = log_file;
  log_file = open_memstream(&log, &len);
  next_start();
  notify_post(MSG_SERIALIZE " out=0");
  fclose(log_file);
  log_file = kept;
  const char* err = strstr(log, "ERR ");
  snprintf(line, sizeof line, "%.*s", err ? (int)strcspn(err, "\n") : 0, err ? err : "");
  free(log);
  if (hint_step != -1) {  // refused: set aside, and the game starts anew
    fault(err ? line : "refused without an ERR line");
    for (const auto& e : std::filesystem::directory_iterator(dir))
      if (e.path().string().find(".rejected-") != std::string::npos)
        std::filesystem::remove(e.path());
    return;
  }
  res->loads++;
  take_edges(after);
  for (int i = 0; i < GRIDCELLS * 6; i++)
    if (before[i] != after[i]) {
      static const char* const what[6] = {"east wall", "south wall", "west cost",
                                          "east cost", "north cost", "south cost"};
      snprintf(line, sizeof line, "a load gives cell %d, %d the %s %g, play %g", i / 6 % GRIDSZ,
               i / 6 / GRIDSZ, what[i % 6], after[i], before[i]);
      return fault(line);
    }
  notify_post(MSG_SERIALIZE " out=1");
  for (int k = 0; k < 2; k++) {
    const std::string& a = saved[k];
    const std::string b = bytes(k ? "/game.binsav" : "/game.txtsav");
    size_t at = 0;
    while (at < a.size() && at < b.size() && a[at] == b[at]) at++;
    if (a == b) continue;
    snprintf(line, sizeof line, "the save after a load differs in %s at byte %zu",
             k ? "game.binsav" : "game.txtsav", at);
    return fault(line);
  }
}

void randplay_run(uint32_t seed, double seconds, const char* folder, randplay_result* out,
                  int32_t crowd) {
  memset(out, 0, sizeof *out);
  res = out;
  randplay_begin(seed, crowd);
  dir = folder;
  const char* kept_path = filesPath;
  filesPath = folder;
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(TAVOREK_RUN_DIR);  // the game's working folder
  if (!threadpool_pool) threadpool_create();
  next_start();
  played = 0.0;
  // Saves come 2 to 22 game seconds apart, so a shorter run replays the start of a longer one.
  double next_save = 2.0 + 20.0 * randplay_unit();
  int32_t shut_last = -1, shut_told = -1;
  while (played < seconds) {
    randplay_act();
    const double before = wld_age;
    randplay_frame(8);
    played += wld_age - before;
    out->most_workers = std::max(out->most_workers, crowd_sz);
    // A living member, not held, in a closed cell two frames running: told once while it stays.
    int32_t now = -1;
    for (int i = 0; i < crowd_sz && now < 0; i++)
      if (crowd_goal[i] != JOB_DEAD && wld_bodies[i] && i != wld_selected &&
          wld_shut_cell(wld_cellflags[grid_cidx(wld_grid_coord(crowd_posx[i]),
                                                wld_grid_coord(crowd_posy[i]))]))
        now = i;
    if (now >= 0 && now == shut_last && now != shut_told) {
      char line[200];
      snprintf(line, sizeof line, "member %d stays in the closed cell %d, %d", now,
               wld_grid_coord(crowd_posx[now]), wld_grid_coord(crowd_posy[now]));
      fault(line);
      shut_told = now;
    }
    shut_last = now;
    if (played >= next_save) {
      save_and_start_again();
      next_save = played + 2.0 + 20.0 * randplay_unit();
    }
  }
  threadpool_destroy();
  wld_reset();
  notify_reset();
  std::filesystem::current_path(cwd);
  filesPath = kept_path;
}
