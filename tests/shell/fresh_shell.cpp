#include "fresh_shell.h"

#include "sdlmain.h"
#include "stackwalker.h"

void fresh_shell() {
  fresh_ui();
  fresh_stats_only();
  sdlmain_reset();
  stackwalker_reset();
}
