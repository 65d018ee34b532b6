// Every layer as a fresh process has it (see fresh_gfx for the GL context).
#pragma once
#include "fresh_stats.h"
#include "fresh_ui.h"

void fresh_shell();
