// Command handlers for the game's course: start, play, restart, the camera,
// the HUD, the hire panel, the toast, the settings, the guide and the saved game.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>

#include <unistd.h>

#include "bakeries.h"
#include "camera.h"
#include "crowd.h"
#include "ctrl.h"
#include "ctrl_handlers.h"
#include "farms.h"
#include "hints.h"
#include "hire.h"
#include "kv.h"
#include "log.h"
#include "msgwords.h"
#include "mtbe.h"
#include "notify.h"
#include "sengine.h"
#include "smenu.h"
#include "taxc.h"
#include "userdir.h"
#include "view.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_place.h"
#include "wld_save.h"
#include "wld_start.h"
#include "wld_state.h"

#define CTRL_COI_MIN 1.0f
#define CTRL_COI_MAX 126.999f
#define CTRL_PAN_SCALE 0.4f  // ground moved per unit of pointer travel and camera distance

static const char* const NO_TERRAIN =
    "The terrain map could not be\nread, so no game can start.\nReinstalling the game helps.";
static const char* const SAVE_REFUSED =
    "Your saved game could not be\nread. It was kept aside and\na new game begins.";
static const char* const NO_SAVE[USERDIR_STATES] = {
    nullptr,
    "Another copy of the game is\nrunning, so this session\ncannot be saved.",
    "Your game folder cannot be\nwritten, so this session\ncannot be saved.",
    "Your saved game could not be\nread or kept aside, so this\nsession cannot be saved.",
    "The game folder's lock file\ncannot be opened, so this\nsession cannot be saved.",
};
// A refused pair in a session that may not write stays where it is.
static const char* const SAVE_LEFT = "Your saved game could not be\nread and was left as it is.";
static const char* const NO_GUIDE =
    "The guide cannot be opened:\nthis session may not write\nin your game folder.";

static const notify_binding CTRL_HANDLERS[] = {
    {MSG_ASPECT, onAspect},
    {MSG_PAUSE, onPause},
    {MSG_START, onStart},
    {MSG_PLAY, onPlay},
    {MSG_RESTART, onRestart},
    {MSG_RESUME, onResume},
    {MSG_MOVECOI, onMovecoi},
    {MSG_CAMCLIMB, onCamclimb},
    {MSG_TOGGLEHUD, onTogglehud},
    {MSG_BUILDMODE, onBuildmode},
    {MSG_PLACEBUILDING, onPlacebuilding},
    {MSG_FARM, onFarm},
    {MSG_BAKERY, onBakery},
    {MSG_HUT, onHut},
    {MSG_TAXCOLLECTOR, onTaxcollector},
    {MSG_SHOWGOAL, onShowgoal},
    {MSG_GOBUTTON, onGobutton},
    {MSG_HIRE, onHire},
    {MSG_INFOBUTTON, onInfobutton},
    {MSG_DISMISSTOAST, onDismisstoast},
    {MSG_TRANSCRIBESETTING, onTranscribesetting},
    {MSG_SERIALIZE, onSerialize},
    {MSG_AREASELECT, onAreaselect},
    {MSG_GUIDE, onGuide},
};
#define CTRL_HANDLER_COUNT (int)(sizeof CTRL_HANDLERS / sizeof CTRL_HANDLERS[0])

void ctrl_listen() { notify_listen_all(CTRL_HANDLERS, CTRL_HANDLER_COUNT); }
void ctrl_unlisten() { notify_unlisten_all(CTRL_HANDLERS, CTRL_HANDLER_COUNT); }

bool ctrl_playing() { return view_shown[VIEW_WORLD] != 0; }

void ctrl_restart_pid(pid_state* pid) {
  for (int k = 0; k < 3; k++) pid->prev[k] = pid->avg[k] = 0.0f;
  pid->first = 1;
}

static void show_views(int from, int to, uint8_t shown) {
  for (int v = from; v <= to; v++) view_shown[v] = shown;
}

void onAspect(const char* text) {
  const int w = notify_int(text, "width"), h = notify_int(text, "height");
  camera_set_perspective(notify_float(text, "ratio"), 1.0f, 400.0f, false);
  if (w == INT_MIN || h == INT_MIN) return;
  ctrl_screenw = (float)w;
  ctrl_screenh = (float)h;
  view_layout(w, h);
}

void onPause(const char* text) { ctrl_back(); }

// Without its terrain no game runs: nothing to play and nothing to save.
// The message stays until the player dismisses it.
static void no_world() {
  wld_initialised = wld_started = 0;
  toast_show(NO_TERRAIN, 0.0f);
}

void onStart(const char* text) {
  LOG("onStart()");
  if (wld_start_map(WLD_MAPFILE))
    wld_completed = 0;
  else
    no_world();
  notify_post(MSG_MOVECOI " dx=0 dy=0");
}

void onPlay(const char* text) {
  if (!wld_initialised) {
    no_world();  // the menu stays: the player may still quit
    return;
  }
  view_shown[VIEW_WORLD] = 1;
  view_shown[VIEW_MENU] = view_shown[VIEW_BANNER] = 0;
  sengine_play_music(0);
  ctrl_hudhidden = false;
  ctrl_difficulty = settings_read(SETTINGS_DIFFICULTY);
  ctrl_warned = 0;
  // The start's centre move came while the menu hid the world, so the camera
  // would aim at height 0 under the ground: take the centre's height now.
  wld_can_place((int)ctrl_coi[0], (int)ctrl_coi[1], ctrl_place_ring(ctrl_buildmode),
                &ctrl_coiheight);
}

void ctrl_teardown_world() {
  if (crowd_sz != 0) {
    wld_exit();
    wld_initialised = wld_started = wld_gameover = 0;
    crowd_sz = 0;
  }
  mtbe_clear();
}

void onRestart(const char* text) {
  LOG("Tearing down existing world.");
  ctrl_teardown_world();
  wld_age = 0.0;  // the new game's clock, which its end and its records count
  LOG("Restarting.");
  hint_reset();  // before the start, which may have something to say
  notify_post(MSG_START " headless=0");
}

void onResume(const char* text) {}

// x and y of a camera matrix column, made one long (left as it is when flat).
static void ground_axis(const float* column, float out[2]) {
  const float len = sqrtf(column[0] * column[0] + column[1] * column[1]);
  out[0] = len > 1e-6f ? column[0] / len : column[0];
  out[1] = len > 1e-6f ? column[1] / len : column[1];
}

static float clamp_coi(float v) {
  return v < CTRL_COI_MIN ? CTRL_COI_MIN : v >= 127.0f ? CTRL_COI_MAX : v;
}

void onMovecoi(const char* text) {
  if (!ctrl_playing()) return;
  if (ctrl_pressstate == 1) ctrl_pressstate = 2;
  const float dx = notify_float(text, "dx"), dy = notify_float(text, "dy");
  float R[2], F[2];
  ground_axis(&camera.camera_matrix[0], R);
  ground_axis(&camera.camera_matrix[4], F);
  const float d = camera.distance;
  const float mx = -CTRL_PAN_SCALE * d * dx * R[0] + CTRL_PAN_SCALE * d * dy * F[0];
  const float my = -CTRL_PAN_SCALE * d * dx * R[1] + CTRL_PAN_SCALE * d * dy * F[1];
  if (!std::isfinite(mx) || !std::isfinite(my)) return;
  if (wld_selected >= 0 || wld_selectedcat >= 0) {
    wld_drag_selected(-mx, -my);
    return;
  }
  ctrl_coi[0] = clamp_coi(ctrl_coi[0] + mx);
  ctrl_coi[1] = clamp_coi(ctrl_coi[1] + my);
  // The centre's height steers the camera; the verdict belongs to the cursor.
  wld_can_place((int)ctrl_coi[0], (int)ctrl_coi[1], ctrl_place_ring(ctrl_buildmode),
                &ctrl_coiheight);
  ctrl_canplace = ctrl_test_cursor();
  camera.target[0] = camera.target_goal[0] = ctrl_coi[0];
  camera.target[1] = camera.target_goal[1] = ctrl_coi[1];
  camera.target_goal[2] = camera.target[2];
  ctrl_restart_pid(&camera_pid_target);
}

void onCamclimb(const char* text) {
  const float delta = notify_float(text, "delta");
  if (delta != -FLT_MAX && std::isfinite(delta)) ctrl_climb += delta;
}

void onTogglehud(const char* text) { ctrl_hudhidden = !ctrl_hudhidden; }

void onFarm(const char* text) { notify_post(MSG_BUILDMODE " selected=1"); }
void onBakery(const char* text) { notify_post(MSG_BUILDMODE " selected=2"); }
void onHut(const char* text) { notify_post(MSG_BUILDMODE " selected=3"); }
void onTaxcollector(const char* text) { notify_post(MSG_BUILDMODE " selected=4"); }

void onShowgoal(const char* text) { ctrl_showgoal = notify_int(text, "nr"); }

void ctrl_close_hire_panel() {
  show_views(VIEW_GO, VIEW_HIRE_PANEL, 0);
  show_views(VIEW_BUILD0, VIEW_LABOR, 1);
  show_views(VIEW_COUNTER0, VIEW_WORLD, 1);
}

void onHire(const char* text) {
  if (taxc_silver < 1) {
    toast_show("You do not have enough silver\nto hire more workers.", TOAST_REFUSAL_TIME);
  } else if (bakeries_count == 0 || farms_count == 0) {
    toast_show(
        "Before hiring, make sure that\nyou have built at least one\nbakery and one farm field.",
        TOAST_REFUSAL_TIME);
  } else {
    hire_reset();
    show_views(VIEW_SILVER_GAUGE, VIEW_HIRE_PANEL, 1);
    view_shown[VIEW_TOAST] = 0;
    show_views(VIEW_BUILD0, VIEW_WORLD, 0);
  }
}

void onGobutton(const char* text) {
  if (!view_shown[VIEW_HIRE_PANEL] || hire_total() == 0) return;
  taxc_silver -= hire_fit_crowd();  // only the workers who come are paid
  for (int t = 0; t < TRADECNT; t++) spawnqueues[t] += hire_counts[t];
  ctrl_close_hire_panel();
}

void onInfobutton(const char* text) { view_shown[VIEW_INFO] = 0; }

void onDismisstoast(const char* text) {
  toast_timer = -1.0f;
  toast_hide();
  if (wld_gameover) ctrl_back();
}

// The stats layer opens the guide; when it cannot, the player is told here.
void onGuide(const char* text) {
  char path[REGFILE_PATH_SZ];
  snprintf(path, sizeof path, "%s/%s", filesPath, USERDIR_GUIDE_PAGE);
  if (!userdir_writable() && access(path, R_OK) != 0) toast_show(NO_GUIDE, TOAST_REFUSAL_TIME);
}

void onTranscribesetting(const char* text) { ctrl_transcribe = settings_read(SETTINGS_TRANSCRIBE); }

// Without a running world the pair is loaded into an empty one, which stays
// unplayable should the load fail.
static void load_game() {
  const bool present = wld_save_present();
  const bool had_world = wld_initialised;
  if (!had_world) wld_init();
  const bool loaded = wld_load();
  if (!loaded && !had_world) {
    no_world();
    return;
  }
  if (loaded) {
    wld_started = 1;
    hint_step = -1;
    // A game that ended loads over and says so again; it does not end twice.
    if (wld_gameover)
      ctrl_show_end_toast();
    else
      toast_hide();
  }
  const bool refused = present && !loaded;
  const int s = userdir_state();
  if (s == USERDIR_WRITABLE) {
    if (refused) toast_show(SAVE_REFUSED, TOAST_END_TIME);
    return;
  }
  // The one word the player gets that this session's play is not kept. A
  // refused pair then stays in place and is named in the same toast (the
  // stuck pair's own text names it already).
  static char both[192];
  snprintf(both, sizeof both, "%s\n%s", SAVE_LEFT, NO_SAVE[s]);
  toast_show(refused && s != USERDIR_SAVE_STUCK ? both : NO_SAVE[s], TOAST_END_TIME);
}

void onSerialize(const char* text) {
  if (notify_int(text, "out") <= 0)
    load_game();
  else if (wld_initialised)
    wld_save();
  else
    LOG("No game runs; the saved game stays as it was.");
}
