// Integer settings, one small file per key in the user data folder.
#pragma once

void kv_set(const char* key, int value);
int kv_get(const char* key, int dflt);

// The game's stored settings. Every reader goes through kv_setting, so the
// menu, the controller, the drawing and the sound engine all see one value
// for a file that holds something out of range.
enum {
  KV_TRANSCRIBE = 0,  // 0/1
  KV_MUSIC = 1,       // 0/1
  KV_DIFFICULTY = 2,  // 0 Baby, 1 Normal, 2 Legend
  KV_EMOTE = 3,       // 0/1
  KV_SETTINGS = 4,
};

struct kv_setting_range {
  const char* key;
  int top;  // values 0..top
};

extern const kv_setting_range kv_settings[KV_SETTINGS];

// The stored setting (default 1) held within 0..top; a value outside costs
// one ERR line, not repeated while the file keeps it.
int kv_setting(int setting);
// Forgets the values and the refusal already reported, as in a fresh process.
void kv_reset();
