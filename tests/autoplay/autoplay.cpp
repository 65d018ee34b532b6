#include "autoplay.h"

#include <chipmunk/chipmunk.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "autoplay_player.h"
#include "crowd.h"
#include "huts.h"
#include "msgwords.h"
#include "notify.h"
#include "stones.h"
#include "taxc.h"
#include "threadpool.h"
#include "wld.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_start.h"
#include "wld_state.h"
#include "wld_update.h"

double autoplay_first[AUTOPLAY_EVENTS];
int32_t autoplay_count[AUTOPLAY_EVENTS];
int32_t autoplay_silver_earned;
int32_t autoplay_hired[4];
int32_t autoplay_linecount;
char autoplay_lines[AUTOPLAY_LINES][AUTOPLAY_LINESZ];

static const char* const EVENT_TEXT[AUTOPLAY_EVENTS] = {
    "first water poured on a farm field",
    "first grain harvested",
    "first grain dropped at a bakery",
    "first food taken from a bakery",
    "first food handed in at a tax office",
    "first silver from food",
    "first food brought to a hut",
    "first worker tired",
    "first tired worker resting in a hut",
    "first rested worker back at work",
    "first worker died",
    "first block taken from the stock",
    "first block laid on a build mark",
    "first build mark finished",
    "first pyramid layer finished",
};

static double start_age;
static double next_decision, next_status;
static uint32_t last_goal[CROWDSZ];
static int marks_done;
static int level_seen;

// ---- timeline ----

void autoplay_say(const char* fmt, ...) {
  if (autoplay_linecount >= AUTOPLAY_LINES) return;
  char* line = autoplay_lines[autoplay_linecount++];
  int t = (int)autoplay_time();
  int n = snprintf(line, AUTOPLAY_LINESZ, "%02d:%02d  ", t / 60, t % 60);
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(line + n, AUTOPLAY_LINESZ - n, fmt, ap);
  va_end(ap);
}

static void happened(int event) {
  if (autoplay_count[event]++ == 0) {
    autoplay_first[event] = autoplay_time();
    autoplay_say("%s", EVENT_TEXT[event]);
  }
}

double autoplay_time() { return wld_age - start_age; }

const char* autoplay_event_name(int event) {
  return event >= 0 && event < AUTOPLAY_EVENTS ? EVENT_TEXT[event] : "?";
}

// ---- what the world tells ----

static void on_playfx(const char* text) {
  char nm[NOTIFY_STRING_SZ];
  notify_string(text, "nm", nm);
  if (strcmp(nm, "waterdrop") == 0) happened(AUTOPLAY_WATER);
  if (strcmp(nm, "grainpickup") == 0) happened(AUTOPLAY_HARVEST);
  if (strcmp(nm, "graindrop") == 0) happened(AUTOPLAY_GRAIN);
  if (strcmp(nm, "foodpickup") == 0) happened(AUTOPLAY_FOODPICK);
  if (strcmp(nm, "stonepickup") == 0) happened(AUTOPLAY_STONE);
  if (strcmp(nm, "stonedrop") == 0) happened(AUTOPLAY_DEPOSIT);
  if (strcmp(nm, "fooddrop") == 0) {
    // The servant stands on the drop-off cell of a hut or an office.
    int c = (int)notify_float(text, "y") * GRIDSZ + (int)notify_float(text, "x");
    bool hut = c >= 0 && c < GRIDCELLS && huts_find_at(c) >= 0;
    happened(hut ? AUTOPLAY_FOODHUT : AUTOPLAY_FOODTAXC);
  }
}

static void on_newsilver(const char*) {
  autoplay_silver_earned += TAXC_PAY;
  happened(AUTOPLAY_SILVER);
}

// Job state changes since the last frame: tiring, resting, returning, dying.
static void watch_members() {
  for (int i = 0; i < crowd_sz; i++) {
    uint32_t was = last_goal[i], now = crowd_goal[i];
    last_goal[i] = now;
    if (was == now) continue;
    if (now == JOB_TIRED) happened(AUTOPLAY_TIRED);
    if (now == JOB_RESTING) happened(AUTOPLAY_RESTING);
    if (was == JOB_RESTING) happened(AUTOPLAY_BACK);
    if (now == JOB_DEAD) happened(AUTOPLAY_DIED);
  }
}

static void watch_pyramid() {
  int frozen = 0;
  for (int s = stones_numstocked; s < STONECNT; s++)
    frozen += (stones_stat[s] & STONE_PERMPOS) != 0;
  while (marks_done < frozen / STONE_SLOTS) {
    marks_done++;
    happened(AUTOPLAY_MARK);
    if (marks_done % 25 == 0) autoplay_say("%d build marks finished", marks_done);
  }
  while (level_seen > stones_pyramid_level) {
    level_seen--;
    happened(AUTOPLAY_LAYER);
    autoplay_say("pyramid layer %d finished: level %d -> %d", 7 - level_seen, level_seen + 1,
                 level_seen);
  }
}

// ---- the game ----

static void status() {
  int alive[4] = {0, 0, 0, 0}, resting = 0;
  for (int i = 0; i < crowd_sz; i++) {
    if (crowd_goal[i] == JOB_DEAD) continue;
    alive[crowd_trade[i] & 3]++;
    resting += crowd_goal[i] == JOB_RESTING;
  }
  autoplay_say(
      "status: %d silver; %d builders, %d irrigation, %d field, %d servants (%d resting, "
      "%d dead); %d blocks laid, %d marks finished, level %d",
      taxc_silver, alive[0], alive[1], alive[2], alive[3], resting, wld_numdead,
      stones_numdeposited, marks_done, stones_pyramid_level);
}

bool autoplay_start(const char* map) {
  if (!wld_start_map(map)) return false;
  start_age = wld_age;
  memset(autoplay_count, 0, sizeof autoplay_count);
  for (int e = 0; e < AUTOPLAY_EVENTS; e++) autoplay_first[e] = -1.0;
  memset(autoplay_hired, 0, sizeof autoplay_hired);
  for (int t = 0; t < 4; t++) autoplay_hired[t] = spawnqueues[t];
  memset(last_goal, 0, sizeof last_goal);
  autoplay_silver_earned = 0;
  autoplay_linecount = 0;
  marks_done = 0;
  level_seen = stones_pyramid_level;
  next_decision = next_status = 0.0;
  if (!threadpool_pool) threadpool_create();
  notify_listen(MSG_PLAYFX, on_playfx);
  notify_listen(MSG_NEWSILVER, on_newsilver);
  autoplay_player_start();
  autoplay_say("new game on %s: %d silver, one worker of each trade on the way", map, taxc_silver);
  return true;
}

void autoplay_frame() {
  if (autoplay_time() >= next_decision) {
    autoplay_decide();
    next_decision += 1.0;
  }
  if (autoplay_time() >= next_status) {
    status();
    next_status += 60.0;
  }
  wld_update(AUTOPLAY_STEPS, 1.0 / AUTOPLAY_FPS);
  watch_members();
  watch_pyramid();
}

void autoplay_run(double seconds) {
  while (autoplay_time() < seconds) autoplay_frame();
  status();
}

void autoplay_stop() {
  notify_unlisten(MSG_PLAYFX, on_playfx);
  notify_unlisten(MSG_NEWSILVER, on_newsilver);
  threadpool_destroy();
  wld_exit();
  wld_started = 0;
  wld_initialised = 0;
  crowd_sz = 0;
}
