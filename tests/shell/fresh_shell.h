#pragma once
#include "fresh_stats.h"
#include "fresh_ui.h"
#include "sdlmain.h"
#include "stackwalker.h"

inline void fresh_shell() {
  fresh_ui();
  fresh_stats();
  sdlmain_reset();
  stackwalker_reset();
}
