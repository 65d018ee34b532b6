#include "randplay.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "camera.h"
#include "cats.h"
#include "crowd.h"
#include "ctrl.h"
#include "hints.h"
#include "hire.h"
#include "kv.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "randplay_hand.h"
#include "randplay_player.h"
#include "smenu.h"
#include "threadpool.h"
#include "view.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_walls.h"

#define STEPS 8  // simulation steps per frame
// Saves come 2 to 22 game seconds apart, whatever the run's length, so that a
// shorter run of a seed replays the start of a longer one.
#define SAVE_GAP 20.0

static randplay_result* res;
static double played;  // game seconds of this run, across loads and restarts

// ---- the saved game and the next start ----

static std::string saves_dir;

static std::string bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Log lines written while fn runs.
template <typename F>
static std::string logged(F fn) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* kept = log_file;
  log_file = open_memstream(&buf, &len);
  fn();
  fclose(log_file);
  log_file = kept;
  std::string s(buf, len);
  free(buf);
  return s;
}

static std::string first_err(const std::string& log) {
  const size_t at = log.compare(0, 4, "ERR ") == 0 ? 0 : log.find("\nERR ");
  if (at == std::string::npos) return "";
  const size_t from = at == 0 ? 0 : at + 1;
  return log.substr(from, log.find('\n', from) - from);
}

static void fault(int32_t* count, double age, const std::string& line) {
  (*count)++;
  if (res->faults >= RANDPLAY_KEPT) return;
  randplay_fault& f = res->fault[res->faults++];
  f.played = played;
  f.age = age;
  snprintf(f.line, sizeof f.line, "%s", line.c_str());
}

static void show_go(int shown) { view_shown[VIEW_GO] = (uint8_t)shown; }

// A new process up to its first frame: the controller's start without a
// window (its camera, handlers, views and new game), then the saved game.
static void next_start() {
  wld_reset();
  notify_reset();
  kv_reset();
  camera_reset();
  ctrl_reset();
  view_reset();
  view_reset_pointers();
  hint_reset();
  settings_reset();
  hire_reset();
  hand_reset();
  randplay_forget();
  sdlmain_cheat = randplay_cheats();  // the command line's option
  ctrl_init_camera();
  notify_listen(MSG_SETTINGS, settings_on_message);
  settings_load();
  notify_listen(MSG_WORKFORCE, hire_on_workforce);
  hire_set_go_button(show_go);
  ctrl_screenw = RANDPLAY_W, ctrl_screenh = RANDPLAY_H;
  camera_set_perspective((float)RANDPLAY_W / RANDPLAY_H, 1.0f, 400.0f, false);
  for (int k = 0; k < 2; k++) camera.target[k] = camera.target_goal[k] = 64.0f;
  ctrl_listen();
  notify_post(MSG_CAMERACONTROL " distSetting=50.0 elevationSetting=0.5 orbitSetting=1.57");
  view_layout(RANDPLAY_W, RANDPLAY_H);
  ctrl_show_menu_screen();
  view_shown[VIEW_INFO] = 1;
  notify_post(MSG_START " headless=0");
  ctrl_transcribe = settings_read(SETTINGS_TRANSCRIBE);
  hint_init();
}

static void forget_refused() {
  for (const auto& e : std::filesystem::directory_iterator(saves_dir))
    if (e.path().string().find(".rejected-") != std::string::npos)
      std::filesystem::remove(e.path());
}

// The text line that holds byte `at`.
static std::string line_at(const std::string& text, size_t at) {
  const size_t from = at == 0 ? 0 : text.rfind('\n', at - 1) + 1;
  return text.substr(from, text.find('\n', from) - from).substr(0, 48);
}

// Which of the world's binary blocks holds byte `at` (the crowd's and the
// world's, in their saved order), and for the grids which cell.
static const char* binary_place(size_t at) {
  static char where[64];
  const size_t n = (size_t)crowd_sz;
  const struct {
    const char* name;
    size_t size;
  } blocks[] = {{"members' x", n * sizeof crowd_posx[0]},
                {"members' y", n * sizeof crowd_posy[0]},
                {"move times", n * sizeof crowd_time[0]},
                {"walk phases", n * sizeof crowd_phase[0]},
                {"goals", n * sizeof crowd_goal[0]},
                {"trades", n * sizeof crowd_trade[0]},
                {"emotes", CROWDSZ * 4},
                {"exhaustion times", n * 4},
                {"work times", n * 4},
                {"transforms", n * 64},
                {"heights", GRIDCELLS},
                {"cell flags", GRIDCELLS},
                {"cat positions", sizeof cats_pos}};
  for (const auto& b : blocks) {
    if (at >= b.size) {
      at -= b.size;
      continue;
    }
    const bool grid = b.size == GRIDCELLS;
    snprintf(where, sizeof where, grid ? " (%s of cell %zu, %zu)" : " (%s)", b.name, at % GRIDSZ,
             at / GRIDSZ);
    return where;
  }
  return " (blocks or marks)";
}

// What a load rebuilds rather than reads: the walls and step costs of every edge.
struct edges {
  bool east[GRIDCELLS], south[GRIDCELLS];
  float cost[4][GRIDCELLS];
};

static void take_edges(edges* e) {
  const float* costs[4] = {basecostw, basecoste, basecostn, basecosts};
  for (int c = 0; c < GRIDCELLS; c++) {
    e->east[c] = wld_eastwalls[c] != nullptr;
    e->south[c] = wld_southwalls[c] != nullptr;
    for (int k = 0; k < 4; k++) e->cost[k][c] = costs[k][c];
  }
}

static std::string edges_differ(const edges& a, const edges& b) {
  static const char* const SIDE[4] = {"west", "east", "north", "south"};
  char line[RANDPLAY_LINE_SZ];
  for (int c = 0; c < GRIDCELLS; c++) {
    const int x = c % GRIDSZ, y = c / GRIDSZ;
    const char* what = a.east[c] != b.east[c]     ? "east wall"
                       : a.south[c] != b.south[c] ? "south wall"
                                                  : nullptr;
    if (what) {
      snprintf(line, sizeof line, "a load %s the %s of cell %d, %d that play %s",
               a.east[c] || a.south[c] ? "leaves out" : "puts up", what, x, y,
               a.east[c] || a.south[c] ? "has" : "does not have");
      return line;
    }
    for (int k = 0; k < 4; k++)
      if (a.cost[k][c] != b.cost[k][c]) {
        snprintf(line, sizeof line, "a load gives cell %d, %d the %s step cost %g, play %g", x, y,
                 SIDE[k], b.cost[k][c], a.cost[k][c]);
        return line;
      }
  }
  return "";
}

// Saved as at the game's end, loaded at the next start, saved again at once.
static void save_and_start_again() {
  notify_post(MSG_SERIALIZE " out=1");
  res->saves++;
  const std::string txt = saves_dir + "/game.txtsav", bin = saves_dir + "/game.binsav";
  const std::string saved_txt = bytes(txt), saved_bin = bytes(bin);
  const double age = wld_age;
  static edges played_edges;
  take_edges(&played_edges);
  const std::string log = logged([] {
    next_start();
    notify_post(MSG_SERIALIZE " out=0");
  });
  randplay_survey();
  if (hint_step != -1) {
    const std::string err = first_err(log);
    fault(&res->refused, age, err.empty() ? "refused without an ERR line" : err);
    forget_refused();
    return;
  }
  res->loads++;
  static edges loaded_edges;
  take_edges(&loaded_edges);
  const std::string walls = edges_differ(played_edges, loaded_edges);
  if (!walls.empty()) return fault(&res->differed, age, walls);
  notify_post(MSG_SERIALIZE " out=1");
  const std::string again_txt = bytes(txt), again_bin = bytes(bin);
  if (again_txt == saved_txt && again_bin == saved_bin) return;
  const std::string& a = again_txt != saved_txt ? saved_txt : saved_bin;
  const std::string& b = again_txt != saved_txt ? again_txt : again_bin;
  size_t at = 0;
  while (at < a.size() && at < b.size() && a[at] == b[at]) at++;
  char line[RANDPLAY_LINE_SZ];
  if (&a == &saved_txt)
    snprintf(line, sizeof line, "the save after a load differs in text line %ld: '%s', then '%s'",
             1 + (long)std::count(a.begin(), a.begin() + (long)at, '\n'), line_at(a, at).c_str(),
             line_at(b, at).c_str());
  else
    snprintf(line, sizeof line, "the save after a load differs at binary byte %zu%s: %d, then %d",
             at, binary_place(at), at < a.size() ? (uint8_t)a[at] : -1,
             at < b.size() ? (uint8_t)b[at] : -1);
  fault(&res->differed, age, line);
}

// ---- the run ----

// A living worker, not held, that stays in a closed cell two frames running:
// pushed through a building's wall and left there. Told once while it stays.
static int32_t shut_last, shut_told;

static void check_shut() {
  int32_t now = -1;
  for (int i = 0; i < crowd_sz && now < 0; i++)
    if (crowd_goal[i] != JOB_DEAD && wld_bodies[i] && i != wld_selected &&
        wld_shut_cell(
            wld_cellflags[grid_cidx(wld_grid_coord(crowd_posx[i]), wld_grid_coord(crowd_posy[i]))]))
      now = i;
  if (now >= 0 && now == shut_last && now != shut_told) {
    char line[RANDPLAY_LINE_SZ];
    snprintf(line, sizeof line, "member %d stays in the closed cell %d, %d", now,
             wld_grid_coord(crowd_posx[now]), wld_grid_coord(crowd_posy[now]));
    fault(&res->shut, wld_age, line);
    shut_told = now;
  }
  shut_last = now;
}

// A walk phase past one turn, whose swing grows with it; told once a run.
static bool phase_told;

static void check_phase() {
  for (int i = 0; i < crowd_sz && !phase_told; i++)
    if (!(fabsf(crowd_phase[i]) <= (float)M_PI + 1e-3f)) {
      char line[RANDPLAY_LINE_SZ];
      snprintf(line, sizeof line, "member %d walks at phase %g, past one turn", i, crowd_phase[i]);
      fault(&res->runaway, wld_age, line);
      phase_told = true;
    }
}

void randplay_run(uint32_t seed, double seconds, const char* folder, randplay_result* out,
                  int32_t crowd) {
  memset(out, 0, sizeof *out);
  res = out;
  randplay_begin(seed, crowd);
  saves_dir = folder;
  const char* kept_path = filesPath;
  filesPath = folder;
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(TAVOREK_RUN_DIR);  // the game's working folder
  if (!threadpool_pool) threadpool_create();
  next_start();
  randplay_survey();
  played = 0.0;
  shut_last = shut_told = -1;
  phase_told = false;
  double next_save = 2.0 + SAVE_GAP * randplay_unit();
  int32_t ended = 0;
  while (played < seconds) {
    randplay_act();
    const double before = wld_age;
    hand_frame(STEPS);
    played += wld_age - before;
    if (crowd_sz > out->most_workers) out->most_workers = crowd_sz;
    check_shut();
    check_phase();
    if (wld_gameover && !ended) {
      ended = 1;
      (wld_completed ? out->won : out->lost)++;
    }
    if (!wld_gameover) ended = 0;
    if (played >= next_save) {
      save_and_start_again();
      ended = wld_gameover;
      next_save = played + 2.0 + SAVE_GAP * randplay_unit();
    }
  }
  threadpool_destroy();
  wld_reset();
  notify_reset();
  std::filesystem::current_path(cwd);
  filesPath = kept_path;
}
