// The base library and the sound engine as a fresh process has them: the
// engine shut down, its flags at their start values.
#pragma once
#include "fresh_core.h"

void fresh_sound();
void fresh_sound_only();
