// Every layer up to the world's drawing as a fresh process has it (see
// fresh_gfx for the GL context).
#pragma once
#include "fresh_gfx.h"
#include "fresh_sim.h"

void fresh_draw();
