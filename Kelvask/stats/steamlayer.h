// Our own stand-in for the Steam client on Linux desktops: the user, the
// per-user data folder, stats, achievements and leaderboards kept in a local
// store in that folder, and web pages opened in the desktop's browser.
// Requests answer through notifications that steamlayer_run_callbacks
// delivers, in the order queued, never from inside the request.
#pragma once
#include <cstdint>

#include "userdir.h"

// Connects to the platform; false when there is none to talk to.
bool steamlayer_init();
// Whether a user is logged on (the login account of this process).
bool steamlayer_user();
// The game's per-user data folder, created when missing, without a trailing
// separator; false when it cannot be had or does not fit in size bytes.
bool steamlayer_user_data_folder(char* out, int size);
// Delivers the notifications queued before this call, on the main thread.
void steamlayer_run_callbacks();
// Writes stats changed since the last store, then disconnects.
void steamlayer_shutdown();
// steamlayer_shutdown (the store flushed), then no listener, no call made and
// no stats read, as in a fresh process.
void steamlayer_reset();

// Interfaces: null while the layer is down (and the user one without a user).
struct steamlayer_userif;
struct steamlayer_statsif;
struct steamlayer_friendsif;
steamlayer_userif* steamlayer_user_interface();
steamlayer_statsif* steamlayer_stats_interface();
steamlayer_friendsif* steamlayer_friends_interface();
bool steamlayer_logged_on(steamlayer_userif* user);

typedef uint64_t steamlayer_call;   // 0: no call was started
typedef uint64_t steamlayer_board;  // 0: no leaderboard

#define STEAMLAYER_GAME_ID 117u
#define STEAMLAYER_OK 1  // result codes of the notifications
#define STEAMLAYER_FAIL 2
enum { STEAMLAYER_KEEP_BEST = 1, STEAMLAYER_FORCE_UPDATE = 2 };

// Stats and achievements; every call but the request and the reset fails
// until the stats have been received.
bool steamlayer_request_current_stats(steamlayer_statsif* stats);
bool steamlayer_get_int_stat(steamlayer_statsif* stats, const char* name, int32_t* value);
bool steamlayer_set_int_stat(steamlayer_statsif* stats, const char* name, int32_t value);
// Every stat of the game is an integer: the float forms refuse all of them.
bool steamlayer_get_float_stat(steamlayer_statsif* stats, const char* name, float* value);
bool steamlayer_set_float_stat(steamlayer_statsif* stats, const char* name, float value);
bool steamlayer_get_achievement(steamlayer_statsif* stats, const char* name, bool* achieved);
bool steamlayer_set_achievement(steamlayer_statsif* stats, const char* name);
uint32_t steamlayer_num_achievements(steamlayer_statsif* stats);
// Writes the store; its outcome arrives as steamlayer_stats_stored, and one
// steamlayer_achievement_stored per achievement set since the last store.
bool steamlayer_store_stats(steamlayer_statsif* stats);
bool steamlayer_reset_all_stats(steamlayer_statsif* stats, bool achievements);

// Leaderboards: results arrive as steamlayer_board_found and steamlayer_score_uploaded.
steamlayer_call steamlayer_find_leaderboard(steamlayer_statsif* stats, const char* name);
const char* steamlayer_leaderboard_name(steamlayer_statsif* stats, steamlayer_board board);
steamlayer_call steamlayer_upload_score(steamlayer_statsif* stats, steamlayer_board board,
                                        int method, int32_t score, const int32_t* details,
                                        int count);

// Opens a web page in the desktop's browser. An address without "://" names
// a page of the game's own, written into the user data folder first. Without
// a display or a browser opener one log line says where the page is.
bool steamlayer_open_web_page(steamlayer_friendsif* friends, const char* address);
#define STEAMLAYER_GUIDE_PAGE USERDIR_GUIDE_PAGE

// Notifications.
struct steamlayer_stats_received {
  enum { id = 1101 };
  uint64_t game_id;
  int32_t result;
};
struct steamlayer_stats_stored {
  enum { id = 1102 };
  uint64_t game_id;
  int32_t result;
};
struct steamlayer_achievement_stored {
  enum { id = 1103 };
  uint64_t game_id;
  char name[128];
};
struct steamlayer_board_found {
  enum { id = 1104 };
  steamlayer_board board;
  uint8_t found;
};
struct steamlayer_score_uploaded {
  enum { id = 1106 };
  uint8_t success;
  steamlayer_board board;
  int32_t score;
  uint8_t changed;
  int32_t rank_new, rank_previous;
};

// What the callback templates of steamlayer_callback.h register.
class steamlayer_listener {
 public:
  virtual void deliver(const void* data, bool io_failure) = 0;

 protected:
  ~steamlayer_listener() = default;
};
void steamlayer_register_callback(steamlayer_listener* listener, int id);
void steamlayer_unregister_callback(steamlayer_listener* listener, int id);
void steamlayer_register_call_result(steamlayer_listener* listener, steamlayer_call call);
void steamlayer_unregister_call_result(steamlayer_listener* listener, steamlayer_call call);
