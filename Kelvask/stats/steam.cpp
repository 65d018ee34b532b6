#include "steam.h"

#include <cstring>

#include "log.h"
#include "msgwords.h"
#include "notify.h"

SteamHelper* steam_helper;

static const char* const BOARD_NAMES[STEAM_BOARDS] = {"lb_fastestbuild", "lb_population",
                                                      "lb_silver"};
static const char* const ACHIEVEMENTS[7] = {"a_ombrelith",     "a_fundamentalist", "a_masterfarmer",
                                            "a_masterplanner", "a_fatcat",         "a_brute",
                                            "a_jobcreator"};

SteamHelper::SteamHelper()
    : stats_received(this, &SteamHelper::OnUserStatsReceived),
      stats_stored(this, &SteamHelper::OnUserStatsStored),
      achievement_stored(this, &SteamHelper::OnAchievementStored),
      best{0, 0, 0, 0, 0},
      boards{0, 0, 0},
      user(nullptr),
      stats(nullptr) {
  Init();
}

SteamHelper::~SteamHelper() {
  user = nullptr;
  stats = nullptr;
  upload.Cancel();
  for (int b = STEAM_BOARDS - 1; b >= 0; b--) find_board[b].Cancel();
  achievement_stored.Unregister();
  stats_stored.Unregister();
  stats_received.Unregister();
}

bool SteamHelper::Init() {
  user = steamlayer_user_interface();
  if (!user) return false;
  LOG("User %s logged on to steam.", steamlayer_logged_on(user) ? "is" : "is not");
  stats = steamlayer_stats_interface();
  LOG("We %s stats for user.", stats ? "have" : "have no");
  if (!stats) return false;
  const bool requested = steamlayer_request_current_stats(stats);
  LOG("Current Stats were %s.", requested ? "requested" : "not requested");
  for (int b = 0; b < STEAM_BOARDS; b++)
    find_board[b].Set(steamlayer_find_leaderboard(stats, BOARD_NAMES[b]), this,
                      &SteamHelper::OnFindLeaderboard);
  return requested;
}

// Keeps value as best when it is greater; true when it was.
static bool raise(int32_t* best, int32_t value) {
  if (value <= *best) return false;
  *best = value;
  return true;
}

void SteamHelper::SetIntStat(const char* name, int32_t value) {
  int32_t current = 0;
  steamlayer_get_int_stat(stats, name, &current);
  if (value != current) steamlayer_set_int_stat(stats, name, value);
  if (strcmp(name, "s_alive") == 0) {
    if (raise(&best[STEAM_BEST_ALIVE], value)) UploadScore("lb_population", value);
  } else if (strcmp(name, "s_dead") == 0) {
    raise(&best[STEAM_BEST_DEAD], value);
  } else if (strcmp(name, "s_hires") == 0) {
    raise(&best[STEAM_BEST_HIRES], value);
  } else if (strcmp(name, "s_silver") == 0) {
    if (raise(&best[STEAM_BEST_SILVER], value)) UploadScore("lb_silver", value);
  } else if (strcmp(name, "s_farms") == 0) {
    raise(&best[STEAM_BEST_FARMS], value);
  }
}

void SteamHelper::StoreStats() {
  if (!user || !stats) return;
  if (!steamlayer_store_stats(stats)) LOG("StoreStats() failed.");
}

bool SteamHelper::UploadScore(const char* board, int32_t score) {
  steamlayer_board handle = 0;
  for (int b = 0; b < STEAM_BOARDS; b++)
    if (strcmp(board, BOARD_NAMES[b]) == 0) handle = boards[b];
  if (handle == 0) return false;
  const steamlayer_call call = steamlayer_upload_score(steamlayer_stats_interface(), handle,
                                                       STEAMLAYER_KEEP_BEST, score, nullptr, 0);
  upload.Set(call, this, &SteamHelper::OnUploadScore);
  // No call means the score went nowhere: the caller has to hear of it.
  return call != 0;
}

void SteamHelper::OnUserStatsReceived(steamlayer_stats_received* note) {
  if (!stats) return;
  LOG("Received stats for gameid %d", (int32_t)(uint32_t)note->game_id);
  if (note->result != STEAMLAYER_OK) {
    LOG("UserStats failed to be received (%d).", note->result);
    return;
  }
  LOG("Received %d achievements.", (int)steamlayer_num_achievements(stats));
  bool done[7] = {};
  for (int a = 0; a < 7; a++) steamlayer_get_achievement(stats, ACHIEVEMENTS[a], &done[a]);
  char line[256];
  snprintf(line, sizeof line,
           "ombrelith[%c] fundamentalist[%c] masterfarmer[%c] masterplanner[%c] fatcat[%c] "
           "brute[%c] jobcreator[%c]",
           done[0] ? 'X' : ' ', done[1] ? 'X' : ' ', done[2] ? 'X' : ' ', done[3] ? 'X' : ' ',
           done[4] ? 'X' : ' ', done[5] ? 'X' : ' ', done[6] ? 'X' : ' ');
  LOG("%s", line);
  steamlayer_get_int_stat(stats, "s_hires", &best[STEAM_BEST_HIRES]);
  steamlayer_get_int_stat(stats, "s_dead", &best[STEAM_BEST_DEAD]);
  steamlayer_get_int_stat(stats, "s_alive", &best[STEAM_BEST_ALIVE]);
  steamlayer_get_int_stat(stats, "s_farms", &best[STEAM_BEST_FARMS]);
  steamlayer_get_int_stat(stats, "s_silver", &best[STEAM_BEST_SILVER]);
  LOG("hires %d, dead %d, alive %d, farms %d, silver %d", best[STEAM_BEST_HIRES],
      best[STEAM_BEST_DEAD], best[STEAM_BEST_ALIVE], best[STEAM_BEST_FARMS],
      best[STEAM_BEST_SILVER]);
}

void SteamHelper::OnUserStatsStored(steamlayer_stats_stored* note) {
  if (note->result != STEAMLAYER_OK)
    LOG("ERR stats failed to be stored on server (%d).", note->result);
}

void SteamHelper::OnAchievementStored(steamlayer_achievement_stored*) {
  LOG("OnAchievementStored()");
}

void SteamHelper::OnFindLeaderboard(steamlayer_board_found* note, bool io_failure) {
  if (!note->found || io_failure) {
    LOG("ERR Failed to find leaderboard.");
    return;
  }
  const char* name = steamlayer_leaderboard_name(stats, note->board);
  LOG("Found leaderboard with handle %llu, name '%s'.", (unsigned long long)note->board, name);
  for (int b = 0; b < STEAM_BOARDS; b++)
    if (strcmp(name, BOARD_NAMES[b]) == 0) boards[b] = note->board;
}

void SteamHelper::OnUploadScore(steamlayer_score_uploaded*, bool io_failure) {
  if (io_failure) LOG("ERR Failed to upload score.");
}

static const notify_binding STEAM_HANDLERS[] = {
    {MSG_STEAMINTSTAT, steam_on_intstat}, {MSG_STEAMFLTSTAT, steam_on_fltstat},
    {MSG_STEAMSYNC, steam_on_sync},       {MSG_ACHIEVEMENT, steam_on_achievement},
    {MSG_GAMEEND, steam_on_gameend},      {MSG_GUIDE, steam_on_guide}};
#define STEAM_HANDLER_COUNT (int)(sizeof STEAM_HANDLERS / sizeof STEAM_HANDLERS[0])

void steam_init(int32_t resetstats) {
  notify_listen_all(STEAM_HANDLERS, STEAM_HANDLER_COUNT);
  steam_helper = new SteamHelper();
  if (!resetstats) return;
  if (steam_helper->stats) steamlayer_reset_all_stats(steam_helper->stats, true);
  LOG("Steam stats were %s", steam_helper->stats ? "reset" : "not reset");
}

void steam_reset() {
  notify_unlisten_all(STEAM_HANDLERS, STEAM_HANDLER_COUNT);
  delete steam_helper;
  steam_helper = nullptr;
}
