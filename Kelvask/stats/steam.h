// Stats services: stats, achievements and leaderboards driven by messages,
// through the desktop layer's stats interface.
#pragma once
#include <cstdint>

#include "steamlayer_callback.h"

// Registers the message handlers and creates the wrapper; resetstats nonzero
// resets stats and achievements.
void steam_init(int32_t resetstats);
// Undoes steam_init: its handlers off the bus, the helper deleted.
void steam_reset();

// Board slots and best-value slots, in the order the wrapper keeps them.
enum { STEAM_BOARD_FASTEST, STEAM_BOARD_POPULATION, STEAM_BOARD_SILVER, STEAM_BOARDS };
enum {
  STEAM_BEST_HIRES,
  STEAM_BEST_DEAD,
  STEAM_BEST_ALIVE,
  STEAM_BEST_SILVER,
  STEAM_BEST_FARMS,
  STEAM_BESTS
};

class SteamHelper {
 public:
  SteamHelper();
  virtual ~SteamHelper();
  // Whether the current stats were requested.
  bool Init();
  // Sets the stat when it differs, keeps the best value, uploads a new best.
  void SetIntStat(const char* name, int32_t value);
  void StoreStats();
  // True when an upload was started.
  bool UploadScore(const char* board, int32_t score);

  void OnUserStatsReceived(steamlayer_stats_received* note);
  void OnUserStatsStored(steamlayer_stats_stored* note);
  void OnAchievementStored(steamlayer_achievement_stored* note);
  void OnFindLeaderboard(steamlayer_board_found* note, bool io_failure);
  void OnUploadScore(steamlayer_score_uploaded* note, bool io_failure);

  SteamCallback<SteamHelper, steamlayer_stats_received> stats_received;
  SteamCallback<SteamHelper, steamlayer_stats_stored> stats_stored;
  SteamCallback<SteamHelper, steamlayer_achievement_stored> achievement_stored;
  SteamCallResult<SteamHelper, steamlayer_board_found> find_board[STEAM_BOARDS];
  SteamCallResult<SteamHelper, steamlayer_score_uploaded> upload;
  int32_t best[STEAM_BESTS];
  steamlayer_board boards[STEAM_BOARDS];
  steamlayer_userif* user;
  steamlayer_statsif* stats;
};

extern SteamHelper* steam_helper;

// The message handlers.
void steam_on_intstat(const char* text);
void steam_on_fltstat(const char* text);
void steam_on_sync(const char* text);
void steam_on_achievement(const char* text);
void steam_on_gameend(const char* text);
void steam_on_guide(const char* text);
