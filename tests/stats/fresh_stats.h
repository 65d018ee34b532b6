#pragma once
#include "fresh_core.h"
#include "steam.h"
#include "steamlayer.h"

inline void fresh_stats() {
  fresh_core();
  steam_reset();
  steamlayer_reset();
}
