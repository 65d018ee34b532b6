#include "randplay.h"

#include <SDL2/SDL_keycode.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

#include "bakeries.h"
#include "camera.h"
#include "cats.h"
#include "crowd.h"
#include "ctrl.h"
#include "farms.h"
#include "hints.h"
#include "hire.h"
#include "huts.h"
#include "kv.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "randplay_hand.h"
#include "smenu.h"
#include "stones.h"
#include "taxc.h"
#include "threadpool.h"
#include "view.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_place.h"
#include "wld_state.h"

#define STEPS 8  // simulation steps per frame
enum { STYLE_MIXED, STYLE_LOSE, STYLE_WIN };

static uint64_t rng;
static int style;
static randplay_result* res;
static double played;  // game seconds of this run, across loads and restarts

static uint32_t rnd() {
  rng ^= rng << 13, rng ^= rng >> 7, rng ^= rng << 17;
  return (uint32_t)(rng >> 16);
}
static int below(int n) { return n > 0 ? (int)(rnd() % (uint32_t)n) : 0; }
static float unit() { return (float)(rnd() & 0xffff) / 65535.0f; }
static bool chance(float p) { return unit() < p; }

// ---- gestures: what the hand does, frame by frame ----

enum { OP_AIM, OP_SITE, OP_VIEW, OP_DOWN, OP_UP, OP_DRAG, OP_KEY, OP_POST, OP_FRAME };
struct op {
  int kind;
  float a, b;
  int32_t v;
  const char* text;
};
#define MAXOPS 96
static op ops[MAXOPS];
static int opcount, opnext;
static bool shift_down;

static void push(int kind, float a = 0, float b = 0, int32_t v = 0, const char* text = nullptr) {
  if (opcount < MAXOPS) ops[opcount++] = op{kind, a, b, v, text};
}
static void press_view(int view, float fx = 0.5f, float fy = 0.5f) {
  push(OP_VIEW, fx, fy, view);
  push(OP_DOWN);
  push(OP_UP);
}
static void click_at(float x, float y, int kind = OP_AIM) {
  push(kind, x, y);
  push(OP_FRAME);  // the pick under the hovering pointer sets the cursor
  push(OP_DOWN);
  push(OP_UP);
  push(OP_FRAME);
}

// A site near (x, y) that the cursor shows as free for the running mode.
static void aim_site(float x, float y) {
  int top = 0;
  for (int k = 0; k < 40; k++) {
    const int cx = (int)x + below(9) - 4, cy = (int)y + below(9) - 4;
    if (cx >= 0 && cx < GRIDSZ && cy >= 0 && cy < GRIDSZ &&
        wld_can_place(cx, cy, ctrl_place_ring(ctrl_buildmode), &top)) {
      hand_aim(cx + 0.5f, cy + 0.5f);
      return;
    }
  }
  hand_aim(x, y);
}

// Lets go of whatever is held when a gesture breaks off.
static void drop_gesture() {
  if (sdlmain_held[0]) hand_up();
  if (shift_down) hand_key(SDLK_LSHIFT, false);
  shift_down = false;
  opcount = opnext = 0;
}

static void run_ops() {
  while (opnext < opcount) {
    const op& o = ops[opnext++];
    switch (o.kind) {
      case OP_AIM:
        if (!hand_aim(o.a, o.b)) return drop_gesture();
        break;
      case OP_SITE:
        aim_site(o.a, o.b);
        break;
      case OP_VIEW:
        hand_aim_view(o.v, o.a, o.b);
        break;
      case OP_DOWN:
        hand_down();
        break;
      case OP_UP:
        hand_up();
        break;
      case OP_DRAG:
        hand_drag(o.a, o.b);
        break;
      case OP_KEY:
        hand_key(o.v, o.a != 0.0f);
        if (o.v == SDLK_LSHIFT) shift_down = o.a != 0.0f;
        break;
      case OP_POST:
        notify_post(o.text);
        break;
      case OP_FRAME:
        return;
    }
  }
  opcount = opnext = 0;
}

// ---- where the player aims ----

static int edges[GRIDCELLS], cliffs[GRIDCELLS], nedges, ncliffs;

static void survey() {
  nedges = ncliffs = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    const int x = c % GRIDSZ, y = c / GRIDSZ;
    if (grid_celltype(wld_cellflags[c]) == WATR) edges[nedges++] = c;
    if (x > 0 && y > 0 && wld_height[c] && wld_height[c - 1] && wld_height[c - GRIDSZ] &&
        (abs(wld_height[c] - wld_height[c - 1]) >= 4 ||
         abs(wld_height[c] - wld_height[c - GRIDSZ]) >= 4))
      cliffs[ncliffs++] = c;
  }
}

// A building's centre cell, any kind.
static int building_cell() {
  const int n = farms_count + bakeries_count + huts_count + taxc_count;
  int k = below(n);
  if (k < farms_count) return farms_cidx[k];
  if ((k -= farms_count) < bakeries_count) return bakeries_cidx[k];
  if ((k -= bakeries_count) < huts_count) return huts_cidx[k];
  return taxc_cidx[k - huts_count];
}

static void from_list(const int* list, int n, float* x, float* y) {
  const int c = n > 0 ? list[below(n)] : below(GRIDCELLS);
  *x = c % GRIDSZ + 0.5f, *y = c / GRIDSZ + 0.5f;
}

// A cell the player aims a mark or a building at: the hard places often.
static void target(float* x, float* y) {
  switch (below(6)) {
    case 1:
      if (style == STYLE_WIN) break;                   // the masons' pyramid stays theirs
      *x = 35.5f + below(15), *y = 61.5f + below(15);  // the pyramid's base and its rim
      return;
    case 0: {
      const int c = building_cell();
      *x = c % GRIDSZ + below(5) - 1.5f, *y = c / GRIDSZ + below(5) - 1.5f;
      return;
    }
    case 2:
      return from_list(edges, nedges, x, y);
    case 3:
      return from_list(cliffs, ncliffs, x, y);
    case 4:  // the map's rim
      *x = below(2) ? below(3) + 0.5f : GRIDSZ - 2.5f + below(3);
      *y = below(GRIDSZ) + 0.5f;
      if (below(2)) std::swap(*x, *y);
      return;
  }
  *x = below(GRIDSZ) + 0.5f, *y = below(GRIDSZ) + 0.5f;
}

// ---- what the player does ----

static void build(int mode) {
  float x, y;
  target(&x, &y);
  if (ctrl_buildmode != mode) press_view(VIEW_BUILD0 + mode - 1);
  push(OP_FRAME);
  click_at(x, y, chance(0.7f) ? OP_SITE : OP_AIM);
}

static void mark_area(float x0, float y0, float x1, float y1) {
  if (ctrl_buildmode != CTRL_MODE_MARKS) press_view(VIEW_BUILD0 + CTRL_MODE_MARKS - 1);
  push(OP_AIM, x0, y0);
  push(OP_FRAME);
  push(OP_KEY, 1, 0, SDLK_LSHIFT);  // the anchor at the cursor
  push(OP_AIM, x1, y1);
  push(OP_FRAME);
  push(OP_DOWN);
  push(OP_UP);
  push(OP_KEY, 0, 0, SDLK_LSHIFT);
  push(OP_FRAME);
}

static void marks() {
  float x, y;
  target(&x, &y);
  if (chance(0.4f)) {
    if (ctrl_buildmode != CTRL_MODE_MARKS) press_view(VIEW_BUILD0 + CTRL_MODE_MARKS - 1);
    push(OP_FRAME);
    click_at(x, y);
    return;
  }
  mark_area(x, y, x + below(9) - 4, y + below(9) - 4);
}

static void hire() {
  press_view(VIEW_LABOR);
  push(OP_FRAME);
}

// On the open panel: a few sliders set, then go (or, now and then, back out).
static void hire_panel() {
  if (style == STYLE_MIXED && chance(0.1f)) return push(OP_POST, 0, 0, 0, MSG_PAUSE);
  const int n = 1 + below(4);
  for (int k = 0; k < n; k++) {
    const int trade = style == STYLE_LOSE ? 0 : below(TRADECNT);
    press_view(VIEW_SLIDER0 + trade, style == STYLE_LOSE ? 1.0f : unit());
  }
  press_view(VIEW_GO);
  push(OP_FRAME);
}

// A worker or a cat pressed and dragged to a corner or an edge, or past it.
static void drag() {
  float x, y;
  if (cats_count > 0 && chance(0.4f)) {
    const int c = below(cats_count);
    x = cats_pos[c][0], y = cats_pos[c][1];
  } else if (crowd_sz > 0) {
    const int i = below(crowd_sz);
    x = crowd_posx[i], y = crowd_posy[i];
  } else {
    return;
  }
  const float far = below(3) == 0 ? 0.0f : 1.0f + below(30);
  float tx = below(2) ? -far : GRIDSZ - 1 + far, ty = below(2) ? -far : GRIDSZ - 1 + far;
  if (chance(0.3f)) tx = x;  // straight to an edge
  push(OP_AIM, x, y);
  push(OP_FRAME);
  push(OP_DOWN);  // this frame's pick takes what lies under the pointer
  push(OP_FRAME);
  const int steps = 2 + below(6);
  float dx = 0.0f, dy = 0.0f;
  hand_motion_for((tx - x) / steps, (ty - y) / steps, &dx, &dy);
  for (int s = 0; s < steps; s++) {
    push(OP_DRAG, dx, dy);
    push(OP_FRAME);
  }
  push(OP_UP);
  push(OP_FRAME);
}

static void camera_move() {
  static char msg[96];
  switch (below(3)) {
    case 0:  // the wheel
      snprintf(msg, sizeof msg, MSG_CAMERACONTROL " distScale=%f", 0.8f + 0.4f * unit());
      push(OP_POST, 0, 0, 0, msg);
      break;
    case 1:  // the right button held: orbit and tilt
      snprintf(msg, sizeof msg, MSG_CAMERACONTROL " elevationDelta=%f orbitDelta=%f",
               0.3f * unit() - 0.15f, 0.6f * unit() - 0.3f);
      push(OP_POST, 0, 0, 0, msg);
      push(OP_POST, 0, 0, 0, MSG_MOVECOI " dx=0 dy=0");
      break;
    default: {
      static const int32_t keys[4] = {SDLK_w, SDLK_a, SDLK_s, SDLK_d};
      const int32_t key = keys[below(4)];
      push(OP_KEY, 1, 0, key);
      for (int f = below(30); f >= 0; f--) push(OP_FRAME);
      push(OP_KEY, 0, 0, key);
    }
  }
  push(OP_FRAME);
}

// The whole map in sight: zoomed out and looking down from high, over its middle.
static void overlook() {
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " distScale=4.0");
  push(OP_POST, 0, 0, 0, MSG_CAMERACONTROL " elevationDelta=0.4 orbitDelta=0");
  push(OP_POST, 0, 0, 0, MSG_MOVECOI " dx=0 dy=0");
  push(OP_FRAME);
  float dx = 0.0f, dy = 0.0f;
  // A drag on bare ground moves the ground under the pointer with it.
  if (hand_motion_for(ctrl_coi[0] - 64.0f, ctrl_coi[1] - 64.0f, &dx, &dy) && wld_selected < 0 &&
      wld_selectedcat < 0) {
    push(OP_VIEW, 0.5f, 0.5f, VIEW_WORLD);
    push(OP_DOWN);
    push(OP_DRAG, dx, dy);
    push(OP_UP);
  }
  push(OP_FRAME);
}

// The menu's rows: 0 transcription, 1 music, 2 difficulty, 3 guide, 4 play, 5 restart.
static void menu_row(int row) { press_view(VIEW_MENU, 0.5f, 1.0f - (row + 6.5f) / 13.0f); }

static void in_menu() {
  if (style == STYLE_LOSE && kv_setting(KV_DIFFICULTY) != 2) return menu_row(2);
  if (style == STYLE_MIXED && chance(0.15f)) return menu_row(below(4));
  const bool over = wld_gameover && !wld_completed;
  menu_row(style == STYLE_MIXED && (over || chance(0.03f)) ? 5 : 4);
}

static bool sees_the_map() {
  for (float c : {1.0f, 127.0f})
    if (!hand_sees(c, c) || !hand_sees(c, 128.0f - c)) return false;
  return true;
}

// A build mark on the pyramid's base, -1 none.
static int pyramid_mark() {
  for (int j = 0; j < nummarks; j++) {
    const int x = stones_markcidx[j] % GRIDSZ, y = stones_markcidx[j] / GRIDSZ;
    if (x >= 36 && x <= 48 && y >= 62 && y <= 74) return j;
  }
  return -1;
}

// The next layer marked once the one below is done (none marked).
static void mark_pyramid_layer() {
  const int L = 7 - stones_pyramid_level;
  mark_area(36.5f + L, 62.5f + L, 48.5f - L, 74.5f - L);
}

static void choose() {
  if (view_shown[VIEW_MENU]) return in_menu();
  if (view_shown[VIEW_TOAST] && chance(0.3f)) return press_view(VIEW_TOAST), push(OP_FRAME);
  if (view_shown[VIEW_HIRE_PANEL]) return hire_panel();
  if (!sees_the_map()) return overlook();
  if (style == STYLE_WIN && pyramid_mark() < 0 && stones_pyramid_level > 0)
    return mark_pyramid_layer();
  const bool needs_food = farms_count == 0 || bakeries_count == 0;
  switch (below(12)) {
    case 0:
    case 1:
      // No huts where the crowd is to die of exhaustion: an office instead.
      return build(needs_food            ? 1 + below(2)
                   : style == STYLE_LOSE ? 1 + 3 * below(2)
                                         : 1 + below(4));
    case 2:
    case 3:
    case 4:
      if (style != STYLE_WIN) return marks();
      return;
    case 5:
    case 6:
      return hire();
    case 7:
    case 8:
      return drag();
    case 9:
      return camera_move();
    case 10:
      return push(OP_POST, 0, 0, 0, MSG_PAUSE), push(OP_FRAME);  // Escape
  }
}

// The masons: a builder takes the stock's top block and lays it on a mark of
// the pyramid, as builders do at the stock and at the mark.
static void masons() {
  int builder = -1;
  for (int i = 0; i < crowd_sz && builder < 0; i++)
    if (crowd_trade[i] == 0 && crowd_goal[i] != JOB_DEAD) builder = i;
  for (int k = 0; k < 16 && builder >= 0 && stones_numstocked > 0; k++) {
    const int m = pyramid_mark();
    if (m < 0) return;
    const int c = stones_markcidx[m];
    bool changed = false;
    stones_deposit(stones_take(builder), c % GRIDSZ, c / GRIDSZ, wld_height, &changed);
    if (changed) wld_update_cell_costs(c);
  }
}

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
  drop_gesture();
  opcount = opnext = 0;
  sdlmain_cheat = style == STYLE_WIN;  // the command line's option
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
  const size_t member = sizeof crowd_posx[0] + sizeof crowd_posy[0] + sizeof crowd_time[0] +
                        sizeof crowd_phase[0] + sizeof crowd_goal[0] + sizeof crowd_trade[0];
  const struct {
    const char* name;
    size_t size;
  } blocks[] = {{"members", n * member},     {"emotes", CROWDSZ * 4},
                {"exhaustion times", n * 4}, {"work times", n * 4},
                {"transforms", n * 64},      {"heights", GRIDCELLS},
                {"cell flags", GRIDCELLS},   {"cat positions", sizeof cats_pos}};
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

// Saved as at the game's end, loaded at the next start, saved again at once.
static void save_and_start_again() {
  notify_post(MSG_SERIALIZE " out=1");
  res->saves++;
  const std::string txt = saves_dir + "/game.txtsav", bin = saves_dir + "/game.binsav";
  const std::string saved_txt = bytes(txt), saved_bin = bytes(bin);
  const double age = wld_age;
  const std::string log = logged([] {
    next_start();
    notify_post(MSG_SERIALIZE " out=0");
  });
  survey();
  if (hint_step != -1) {
    const std::string err = first_err(log);
    fault(&res->refused, age, err.empty() ? "refused without an ERR line" : err);
    forget_refused();
    return;
  }
  res->loads++;
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

void randplay_run(uint32_t seed, double seconds, const char* folder, randplay_result* out) {
  memset(out, 0, sizeof *out);
  res = out;
  rng = 0x9e3779b97f4a7c15ull ^ ((uint64_t)seed * 0xbf58476d1ce4e5b9ull);
  rng |= 1;
  style = (int)(seed % 3);
  saves_dir = folder;
  const char* kept_path = filesPath;
  filesPath = folder;
  const std::filesystem::path cwd = std::filesystem::current_path();
  std::filesystem::current_path(TAVOREK_RUN_DIR);  // the game's working folder
  if (!threadpool_pool) threadpool_create();
  next_start();
  survey();
  played = 0.0;
  // Short runs save often too.
  const double gap = seconds < 120.0 ? seconds / 2.0 : 60.0;
  double next_save = 2.0 + gap * unit();
  int32_t ended = 0;
  while (played < seconds) {
    if (opnext >= opcount && chance(0.08f)) choose();
    run_ops();
    if (style == STYLE_WIN && view_shown[VIEW_WORLD] && !view_shown[VIEW_MENU]) masons();
    const double before = wld_age;
    hand_frame(STEPS);
    played += wld_age - before;
    if (crowd_sz > out->most_workers) out->most_workers = crowd_sz;
    if (wld_gameover && !ended) {
      ended = 1;
      (wld_completed ? out->won : out->lost)++;
    }
    if (!wld_gameover) ended = 0;
    if (played >= next_save) {
      save_and_start_again();
      ended = wld_gameover;
      next_save = played + 2.0 + gap * unit();
    }
  }
  threadpool_destroy();
  wld_reset();
  notify_reset();
  std::filesystem::current_path(cwd);
  filesPath = kept_path;
}
