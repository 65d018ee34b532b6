#include "kv.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "notify.h"
#include "regfile.h"
#include "userdir.h"

static void kv_path(char* path, int size, const char* key) {
  ASSERT(filesPath);
  snprintf(path, size, "%s/.%s", filesPath, key);
}

// Set once a session that may not write has said that settings are not kept.
static bool kv_refusal_said;

// A setting that cannot be stored is lost, not worth stopping the game for.
// A link under the key's name is refused, never written through; a session
// that may not write in the folder stores nothing, and says so once.
void kv_set(const char* key, int value) {
  if (!userdir_writable()) {
    if (!kv_refusal_said) LOG("ERR Settings are not stored this session: %s.", userdir_why());
    kv_refusal_said = true;
    return;
  }
  char path[REGFILE_PATH_SZ];
  kv_path(path, sizeof path, key);
  FILE* f = regfile_open(path, "w");
  if (!f) {
    LOG("ERR Cannot write key-value pair to '%s'", path);
    return;
  }
  bool ok = fprintf(f, "%d", value) > 0;
  ok = fclose(f) == 0 && ok;
  if (!ok) LOG("ERR Cannot write key-value pair to '%s'", path);
}

int kv_get(const char* key, int dflt) {
  char path[REGFILE_PATH_SZ];
  kv_path(path, sizeof path, key);
  FILE* f = regfile_open(path, "r");
  if (!f) {
    // A key never written is the normal case; a folder or FIFO in its place
    // is worth a line.
    if (regfile_is_other(path))
      LOG("ERR Cannot read key-value pair from '%s': %s", path, regfile_reason());
    return dflt;
  }
  char line[128];
  // An existing but empty file holds no value: treat it as never written.
  const bool got = fgets(line, sizeof line, f) != nullptr;
  fclose(f);
  return got ? notify_atoi(line) : dflt;
}

const kv_setting_range kv_settings[KV_SETTINGS] = {{"settings_transcribe", 1},
                                                   {"settings_music", 1},
                                                   {"settings_difficulty", 2},
                                                   {"settings_emote", 1}};

// The last value out of range reported per setting; 0 (always in range) for none.
static int kv_reported[KV_SETTINGS];

void kv_reset() {
  memset(kv_reported, 0, sizeof kv_reported);
  kv_refusal_said = false;
}

int kv_setting(int setting) {
  const kv_setting_range& s = kv_settings[setting];
  const int v = kv_get(s.key, 1);
  if (v >= 0 && v <= s.top) return v;
  const int held = v < 0 ? 0 : s.top;
  // Several readers meet the same damaged file; it is worth one line.
  if (v != kv_reported[setting])
    LOG("ERR Setting '%s' holds %d, outside 0..%d: read as %d", s.key, v, s.top, held);
  kv_reported[setting] = v;
  return held;
}
