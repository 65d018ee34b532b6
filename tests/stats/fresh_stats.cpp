#include "fresh_stats.h"

#include "steam.h"
#include "steamlayer.h"

void fresh_stats_only() {
  steam_reset();
  steamlayer_reset();
}

void fresh_stats() {
  fresh_core();
  fresh_stats_only();
}
