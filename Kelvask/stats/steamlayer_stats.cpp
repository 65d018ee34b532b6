// Stats, achievements and leaderboards of the desktop layer, kept in the
// local store; every answer is queued for the next callback run.
#include <climits>
#include <cstring>
#include <ctime>

#include "log.h"
#include "steamlayer.h"
#include "steamlayer_store.h"

const char* const steamlayer_stat_names[STEAMLAYER_STATS] = {"s_hires", "s_dead", "s_alive",
                                                             "s_silver", "s_farms"};
const char* const steamlayer_achievement_names[STEAMLAYER_ACHIEVEMENTS] = {
    "a_ombrelith", "a_fundamentalist", "a_masterfarmer", "a_masterplanner",
    "a_fatcat",    "a_brute",          "a_jobcreator"};
const char* const steamlayer_board_names[STEAMLAYER_BOARDS] = {"lb_fastestbuild", "lb_population",
                                                               "lb_silver"};
// The fastest build is the fewest seconds; the others count up.
const bool steamlayer_board_ascending[STEAMLAYER_BOARDS] = {true, false, false};

int32_t steamlayer_stat_value[STEAMLAYER_STATS];
int32_t steamlayer_achieved[STEAMLAYER_ACHIEVEMENTS];
int64_t steamlayer_achieved_time[STEAMLAYER_ACHIEVEMENTS];
int32_t steamlayer_board_has[STEAMLAYER_BOARDS];
int32_t steamlayer_board_best[STEAMLAYER_BOARDS];

static bool loaded;    // the store has been read this session
static bool received;  // the stats notification has gone out: gets and sets work
static bool dirty;     // stats or achievements changed since the last write
// Achievements set since the last store, announced when it is written.
static bool unannounced[STEAMLAYER_ACHIEVEMENTS];

int steamlayer_find_name(const char* const* names, int count, const char* name) {
  for (int i = 0; i < count; i++)
    if (name && strcmp(names[i], name) == 0) return i;
  return -1;
}

void steamlayer_store_forget() {
  loaded = received = dirty = false;
  memset(unannounced, 0, sizeof unannounced);
}

void steamlayer_store_reset() {
  steamlayer_store_forget();
  memset(steamlayer_stat_value, 0, sizeof steamlayer_stat_value);
  memset(steamlayer_achieved, 0, sizeof steamlayer_achieved);
  memset(steamlayer_achieved_time, 0, sizeof steamlayer_achieved_time);
  memset(steamlayer_board_has, 0, sizeof steamlayer_board_has);
  memset(steamlayer_board_best, 0, sizeof steamlayer_board_best);
}

static bool ensure_loaded() {
  if (!loaded) loaded = steamlayer_store_load();
  return loaded;
}

static bool usable(steamlayer_statsif* stats) {
  return stats && stats == steamlayer_stats_interface() && received;
}

void steamlayer_stats_arrive(const steamlayer_stats_received* note) {
  if (note->result == STEAMLAYER_OK && loaded) received = true;
}

bool steamlayer_request_current_stats(steamlayer_statsif* stats) {
  if (!stats || stats != steamlayer_stats_interface()) return false;
  steamlayer_stats_received note = {STEAMLAYER_GAME_ID, STEAMLAYER_OK};
  if (!ensure_loaded()) note.result = STEAMLAYER_FAIL;
  steamlayer_queue(note.id, 0, false, &note, sizeof note);
  return true;
}

bool steamlayer_get_int_stat(steamlayer_statsif* stats, const char* name, int32_t* value) {
  const int s = steamlayer_find_name(steamlayer_stat_names, STEAMLAYER_STATS, name);
  if (!usable(stats) || s < 0) return false;
  *value = steamlayer_stat_value[s];
  return true;
}

bool steamlayer_set_int_stat(steamlayer_statsif* stats, const char* name, int32_t value) {
  const int s = steamlayer_find_name(steamlayer_stat_names, STEAMLAYER_STATS, name);
  if (!usable(stats) || s < 0 || value < 0) return false;
  if (steamlayer_stat_value[s] != value) dirty = true;
  steamlayer_stat_value[s] = value;
  return true;
}

bool steamlayer_get_float_stat(steamlayer_statsif*, const char*, float*) { return false; }
bool steamlayer_set_float_stat(steamlayer_statsif*, const char*, float) { return false; }

bool steamlayer_get_achievement(steamlayer_statsif* stats, const char* name, bool* achieved) {
  const int a = steamlayer_find_name(steamlayer_achievement_names, STEAMLAYER_ACHIEVEMENTS, name);
  if (!usable(stats) || a < 0) return false;
  *achieved = steamlayer_achieved[a] != 0;
  return true;
}

bool steamlayer_set_achievement(steamlayer_statsif* stats, const char* name) {
  const int a = steamlayer_find_name(steamlayer_achievement_names, STEAMLAYER_ACHIEVEMENTS, name);
  if (!usable(stats) || a < 0) return false;
  if (steamlayer_achieved[a]) return true;
  steamlayer_achieved[a] = 1;
  steamlayer_achieved_time[a] = (int64_t)time(nullptr);
  unannounced[a] = true;
  dirty = true;
  return true;
}

uint32_t steamlayer_num_achievements(steamlayer_statsif* stats) {
  return usable(stats) ? STEAMLAYER_ACHIEVEMENTS : 0;
}

static void queue_stored(bool ok) {
  const steamlayer_stats_stored note = {STEAMLAYER_GAME_ID, ok ? STEAMLAYER_OK : STEAMLAYER_FAIL};
  steamlayer_queue(note.id, 0, false, &note, sizeof note);
  for (int a = 0; ok && a < STEAMLAYER_ACHIEVEMENTS; a++) {
    if (!unannounced[a]) continue;
    unannounced[a] = false;
    steamlayer_achievement_stored done = {STEAMLAYER_GAME_ID, {0}};
    strncpy(done.name, steamlayer_achievement_names[a], sizeof done.name - 1);
    steamlayer_queue(done.id, 0, false, &done, sizeof done);
  }
}

static bool write_store() {
  if (!steamlayer_store_save()) return false;
  dirty = false;
  return true;
}

bool steamlayer_store_stats(steamlayer_statsif* stats) {
  if (!usable(stats)) return false;
  queue_stored(write_store());
  return true;
}

void steamlayer_store_flush() {
  if (loaded && dirty) write_store();
}

bool steamlayer_reset_all_stats(steamlayer_statsif* stats, bool achievements) {
  if (!stats || stats != steamlayer_stats_interface() || !ensure_loaded()) return false;
  memset(steamlayer_stat_value, 0, sizeof steamlayer_stat_value);
  if (achievements) {
    memset(steamlayer_achieved, 0, sizeof steamlayer_achieved);
    memset(steamlayer_achieved_time, 0, sizeof steamlayer_achieved_time);
    memset(unannounced, 0, sizeof unannounced);
  }
  queue_stored(write_store());
  return true;
}

// Board handles are the board's index plus one.
static int board_index(steamlayer_board board) {
  return board >= 1 && board <= STEAMLAYER_BOARDS ? (int)board - 1 : -1;
}

steamlayer_call steamlayer_find_leaderboard(steamlayer_statsif* stats, const char* name) {
  if (!stats || stats != steamlayer_stats_interface()) return 0;
  const int b = steamlayer_find_name(steamlayer_board_names, STEAMLAYER_BOARDS, name);
  const steamlayer_board_found note = {b < 0 ? 0 : (steamlayer_board)(b + 1), (uint8_t)(b >= 0)};
  const steamlayer_call call = steamlayer_new_call();
  steamlayer_queue(note.id, call, false, &note, sizeof note);
  return call;
}

const char* steamlayer_leaderboard_name(steamlayer_statsif* stats, steamlayer_board board) {
  const int b = board_index(board);
  if (!stats || stats != steamlayer_stats_interface() || b < 0) return "";
  return steamlayer_board_names[b];
}

static bool better(int b, int32_t score) {
  if (!steamlayer_board_has[b]) return true;
  return steamlayer_board_ascending[b] ? score < steamlayer_board_best[b]
                                       : score > steamlayer_board_best[b];
}

steamlayer_call steamlayer_upload_score(steamlayer_statsif* stats, steamlayer_board board,
                                        int method, int32_t score, const int32_t* details,
                                        int count) {
  const int b = board_index(board);
  if (!stats || stats != steamlayer_stats_interface() || b < 0) return 0;
  if (method != STEAMLAYER_KEEP_BEST && method != STEAMLAYER_FORCE_UPDATE) return 0;
  if (count < 0 || (count > 0 && !details)) return 0;
  steamlayer_score_uploaded note = {0, board, score, 0, 0, 0};
  bool io_failure = !ensure_loaded();
  if (!io_failure) {
    note.rank_previous = steamlayer_board_has[b] ? 1 : 0;
    note.changed = method == STEAMLAYER_FORCE_UPDATE || better(b, score);
    const int32_t had = steamlayer_board_has[b], best = steamlayer_board_best[b];
    if (note.changed) {
      steamlayer_board_has[b] = 1;
      steamlayer_board_best[b] = score;
      if (!steamlayer_store_save()) {
        // Not on disk: the board keeps what it had.
        steamlayer_board_has[b] = had;
        steamlayer_board_best[b] = best;
        io_failure = true;
      }
    }
    note.success = !io_failure;
    note.rank_new = note.success ? 1 : note.rank_previous;
  }
  const steamlayer_call call = steamlayer_new_call();
  steamlayer_queue(note.id, call, io_failure, &note, sizeof note);
  return call;
}
