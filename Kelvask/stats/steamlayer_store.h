// Inside the desktop layer: the notification queue and the local store of
// stats, achievements and best scores shared by its source files.
#pragma once
#include <cstdint>

#include "steamlayer.h"

#define STEAMLAYER_STATS 5
#define STEAMLAYER_ACHIEVEMENTS 7
#define STEAMLAYER_BOARDS 3
#define STEAMLAYER_PATH_SZ 512
#define STEAMLAYER_STORE_FILE "userstats.txt"

extern bool steamlayer_up;

// Queues a notification for the next steamlayer_run_callbacks; call 0 makes
// it a callback heard by every listener of id, else the answer to that call.
void steamlayer_queue(int id, steamlayer_call call, bool io_failure, const void* data, int size);
// A fresh, never zero call handle.
steamlayer_call steamlayer_new_call();
// path := the user data folder joined with name; false when it does not fit.
bool steamlayer_folder_file(const char* name, char* path, int size);
// Replaces path with text through a temporary file, fsync and rename, so a
// crash leaves the old file or the new one; false (logged) on failure.
bool steamlayer_write_file(const char* path, const char* text, int len);

// The compiled-in definitions, indexed like the store's arrays.
extern const char* const steamlayer_stat_names[STEAMLAYER_STATS];
extern const char* const steamlayer_achievement_names[STEAMLAYER_ACHIEVEMENTS];
extern const char* const steamlayer_board_names[STEAMLAYER_BOARDS];
extern const bool steamlayer_board_ascending[STEAMLAYER_BOARDS];
int steamlayer_find_name(const char* const* names, int count, const char* name);

// The store's contents; stats never go below 0.
extern int32_t steamlayer_stat_value[STEAMLAYER_STATS];
extern int32_t steamlayer_achieved[STEAMLAYER_ACHIEVEMENTS];
extern int64_t steamlayer_achieved_time[STEAMLAYER_ACHIEVEMENTS];  // seconds since 1970, 0 unset
extern int32_t steamlayer_board_has[STEAMLAYER_BOARDS];
extern int32_t steamlayer_board_best[STEAMLAYER_BOARDS];

// Loads the store, or starts a fresh one when there is none; a damaged one is
// moved aside with one ERR line. False only without a user data folder.
bool steamlayer_store_load();
bool steamlayer_store_save();
// Formats the store; the length of the text (cut to fit size).
int steamlayer_store_text(char* out, int size);
// Reads a store text into the arrays; 0 when sound, else the bad line's number.
int steamlayer_store_parse(const char* text);
// Writes the store when something changed since the last write.
void steamlayer_store_flush();
// Forgets what was loaded: the next request reads the store again.
void steamlayer_store_forget();
// steamlayer_store_forget and every value zero, as in a fresh process.
void steamlayer_store_reset();
// Collects the browser openers that have ended.
void steamlayer_reap_openers();
// Called as the stats notification goes out: gets and sets work from then on.
void steamlayer_stats_arrive(const steamlayer_stats_received* note);
