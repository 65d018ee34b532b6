// The toast, the game's one on-screen message, and the tutorial hints that
// walk a new player through the production chain. The hints only listen.
#pragma once
#include <cstdint>

#define TOAST_VIEW 0
#define TOAST_REFUSAL_TIME 5.0f
#define TOAST_END_TIME 10.0f
#define TOAST_WARNING_TIME 20.0f

extern const char* toast_text;  // null: no toast
extern float toast_timer;       // seconds until it goes; 0 or less: it stays
extern int32_t hint_step;       // 0 none yet, 1..5 the last hint, -1 after a load

// Text and shown flag; the running timer is left alone (hints have none).
void toast_set(const char* text);
// Text for the given seconds.
void toast_show(const char* text, float seconds);
void toast_hide();
// Draws the toast centred in the current viewport with the Font program in
// use, then runs its timer.
void toast_draw(float dt);
// Runs the timer; posts "dismisstoast" when it runs out.
void toast_run_timer(float dt);

// The step's hint as the toast, or no toast for a step without one.
void hint_set(int32_t step);
// Listens for the hints' events; step 0.
void hint_init();
// No toast (its view hidden), no timer, no hint yet, as at a new game.
void hint_reset();
void hint_on_movecoi(const char* text);
void hint_on_farmbuilt(const char* text);
void hint_on_bakerybuilt(const char* text);
void hint_on_hutbuilt(const char* text);
void hint_on_missingbakery(const char* text);
void hint_on_missinghut(const char* text);
void hint_on_newsilver(const char* text);
