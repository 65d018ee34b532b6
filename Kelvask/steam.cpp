// PLACEHOLDER until the real Steam services land: no stats interface, no handlers.
#include "steam.h"

#include "log.h"

void steam_init(int32_t resetstats) {
  if (resetstats) LOG("Steam stats were %s", "not reset");
}
