// The message handlers through which the game reaches the stats services.
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>

#include "log.h"
#include "notify.h"
#include "steam.h"

static steamlayer_statsif* stats_if() { return steam_helper ? steam_helper->stats : nullptr; }

void steam_on_intstat(const char* text) {
  char name[NOTIFY_STRING_SZ];
  notify_string(text, "name", name);
  const int val = notify_int(text, "val");
  const int delta = notify_int(text, "delta");
  if (!stats_if()) return;
  if (val != INT_MIN) steam_helper->SetIntStat(name, val);
  if (delta != INT_MIN) {
    // The stats are integers; the sum is clamped rather than wrapped.
    int32_t current = 0;
    steamlayer_get_int_stat(stats_if(), name, &current);
    int64_t sum = (int64_t)current + delta;
    if (sum > INT32_MAX) sum = INT32_MAX;
    if (sum < INT32_MIN) sum = INT32_MIN;
    steamlayer_set_int_stat(stats_if(), name, (int32_t)sum);
  }
}

void steam_on_fltstat(const char* text) {
  char name[NOTIFY_STRING_SZ];
  notify_string(text, "name", name);
  const float val = notify_float(text, "val");
  const float delta = notify_float(text, "delta");
  if (!stats_if()) return;
  if (val > -FLT_MAX) steamlayer_set_float_stat(stats_if(), name, val);
  if (delta > -FLT_MAX) {
    float current = 0.0f;
    steamlayer_get_float_stat(stats_if(), name, &current);
    steamlayer_set_float_stat(stats_if(), name, current + delta);
  }
}

void steam_on_sync(const char*) {
  if (steam_helper) steam_helper->StoreStats();
}

void steam_on_achievement(const char* text) {
  char name[NOTIFY_STRING_SZ];
  notify_string(text, "name", name);
  if (!steam_helper || !steam_helper->user || !steam_helper->stats) return;
  steamlayer_set_achievement(steam_helper->stats, name);
  steam_helper->StoreStats();
}

void steam_on_gameend(const char* text) {
  const float age = notify_float(text, "age");
  const int win = notify_int(text, "win");
  if (!(age > 0.0f) || win == 0 || !steam_helper) return;
  // lround of a game age past the 32-bit range would be undefined.
  if (!std::isfinite(age) || age >= 2147483647.0f) {
    LOG("ERR Refused the fastest-build score of a game age of %f seconds.", age);
    return;
  }
  const int32_t score = (int32_t)lround(age);
  if (!steam_helper->UploadScore("lb_fastestbuild", score))
    LOG("ERR Failed to upload score to steam.");
}

void steam_on_guide(const char*) {
  steamlayer_friendsif* friends = steamlayer_friends_interface();
  if (friends) steamlayer_open_web_page(friends, STEAMLAYER_GUIDE_PAGE);
}
