// The base library and the stats service as a fresh process has them.
#pragma once
#include "fresh_core.h"

void fresh_stats();
void fresh_stats_only();
