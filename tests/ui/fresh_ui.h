// The next controller creation sets up its resources again.
#pragma once
#include "ctrl.h"
#include "fresh_draw.h"
#include "fresh_sound.h"
#include "hints.h"
#include "pane.h"
#include "smenu.h"
#include "view.h"

inline void fresh_ui() {
  fresh_draw();
  fresh_sound();
  view_reset();
  view_reset_pointers();
  ctrl_reset();
  hint_reset();
  settings_reset();
  pane_reset();
}
