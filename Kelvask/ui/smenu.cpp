#include "smenu.h"

#include <climits>
#include <cstdint>

#include "kv.h"
#include "msgwords.h"
#include "notify.h"

static const char* const SETTINGS_CHANGED[SETTINGS_STORED] = {
    MSG_TRANSCRIBESETTING, MSG_MUSICSETTING, MSG_DIFFICULTYSETTING};
static const char* const DIFFICULTY_NAMES[3] = {"Baby", "Normal", "Legend"};

int32_t settings_values[SETTINGS_STORED] = {1, 1, 1};
int32_t settings_selected;
float settings_pulse;

int32_t settings_read(int setting) { return kv_setting(setting); }

void settings_reset() {
  for (int32_t& v : settings_values) v = 1;
  settings_selected = 0;
  settings_pulse = 0.0f;
}

void settings_load() {
  for (int s = 0; s < SETTINGS_STORED; s++) settings_values[s] = settings_read(s);
}

const char* settings_difficulty_name(int32_t difficulty) {
  return DIFFICULTY_NAMES[difficulty < 0 ? 0 : difficulty > 2 ? 2 : difficulty];
}

// Rows 0..2 step their setting, store it and tell the listeners; 3..5 post actions.
static void activate(int row) {
  if (row < 0 || row >= SETTINGS_ROWS) return;
  if (row < SETTINGS_STORED) {
    settings_values[row] = (settings_values[row] + 1) % (kv_settings[row].top + 1);
    kv_set(kv_settings[row].key, settings_values[row]);
    notify_post(SETTINGS_CHANGED[row]);
  } else if (row == 3) {
    notify_post(MSG_GUIDE);
  } else if (row == 4) {
    notify_post(MSG_PLAY);
  } else {
    notify_post(MSG_RESTART);
    notify_post(MSG_PLAY);
  }
}

// Keyboard-style moves: dx flips an on/off row in memory only, dy moves the highlight.
static void navigate(int64_t row, int dx, int dy) {
  if (dx != INT_MIN && (row == SETTINGS_TRANSCRIBE || row == SETTINGS_MUSIC))
    settings_values[row] = 1 - settings_values[row];
  const int64_t next = dy == INT_MIN ? row : row + dy;
  settings_selected = next < SETTINGS_ROWS ? (int32_t)next : -1;
}

void settings_on_message(const char* text) {
  const int dx = notify_int(text, "dx"), dy = notify_int(text, "dy");
  const int selected = notify_int(text, "selected"), click = notify_int(text, "click");
  const float touchy = notify_float(text, "touchy");
  int64_t row = settings_selected;
  if (touchy >= 0.0f) {
    // Each row owns 1/13 of the view's height; the rows fill 6/13 to 12/13.
    row = touchy < 1.0f ? (int64_t)(13.0f * touchy) - 6 : SETTINGS_ROWS;
    if (row >= 0 && row < SETTINGS_ROWS) {
      settings_selected = (int32_t)row;
      if (click != 0) {
        activate((int)row);
        return;
      }
    } else {
      settings_selected = -1;
      row = -1;
    }
  }
  if (selected < 1)
    navigate(row, dx, dy);
  else
    activate((int)row);
}
