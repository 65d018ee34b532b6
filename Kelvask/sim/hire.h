// The hire panel's chosen numbers per trade (0 builder, 1 irrigation worker,
// 2 field worker, 3 household servant), held within each trade's maximum and,
// together, within the player's silver.
#pragma once
#include <cstdint>

#include "wld_state.h"

extern int32_t hire_counts[TRADECNT];
extern const int32_t hire_max[TRADECNT];  // 100, 20, 20, 20

// Shows (1) or hides (0) the panel's go button; the controller installs one
// that writes the button view's shown flag. Null: nothing is shown.
typedef void (*hire_show_fn)(int shown);
void hire_set_go_button(hire_show_fn show);
// Start values: nobody asked for. The go button stays bound.
void hire_reset();

// Handler of "workforce type=%d x=%f click=%d".
void hire_on_workforce(const char* text);
// Takes reduction workers away from the counts, the trades after trade first.
void hire_reduce(int reduction, int trade);
// The workers chosen, all trades together.
int hire_total();
// Cuts the counts to the room the crowd has left beside the workers already
// waiting to spawn, logging a cut once; returns the workers that stay, who
// all come.
int hire_fit_crowd();
