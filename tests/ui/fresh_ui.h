// Every layer the controller stands on, and the controller, views, hints,
// settings menu and pane, as a fresh process has them: the next controller
// creation sets up its resources again (see fresh_gfx for the GL context).
#pragma once
#include "fresh_draw.h"
#include "fresh_sound.h"

void fresh_ui();
