// Steam services: stats, achievements and leaderboards driven by messages.
#pragma once
#include <cstdint>

// Registers the message handlers; resetstats nonzero resets stats and achievements.
void steam_init(int32_t resetstats);
