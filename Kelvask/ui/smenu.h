// The settings menu on the menu view: three stored settings (transcribe,
// music, difficulty) and three actions (guide, play, restart). It listens
// for "settings" from the view input and posts the player's choices.
#pragma once
#include <cstdint>

#include "kv.h"

#define SETTINGS_MENU_VIEW 1
#define SETTINGS_ROWS 6
#define SETTINGS_STORED 3

// The stored rows are the store's first three settings.
enum {
  SETTINGS_TRANSCRIBE = KV_TRANSCRIBE,
  SETTINGS_MUSIC = KV_MUSIC,
  SETTINGS_DIFFICULTY = KV_DIFFICULTY,
};

extern int32_t settings_values[SETTINGS_STORED];
extern int32_t settings_selected;  // highlighted row 0..5, negative for none
extern float settings_pulse;       // radians, drives the selected row's pulse

// One stored setting as every reader sees it (kv_setting): default 1, held
// within its range.
int32_t settings_read(int setting);
// All three menu values from the store.
void settings_load();
// The menu values, selection and pulse as a fresh process has them.
void settings_reset();
// Handler of "settings dx=%d dy=%d selected=%d touchy=%f click=%d".
void settings_on_message(const char* text);
// Draws the menu with the Font program in use; advances the pulse by dt.
void settings_draw(float dt);
// Display name of a difficulty 0..2.
const char* settings_difficulty_name(int32_t difficulty);
