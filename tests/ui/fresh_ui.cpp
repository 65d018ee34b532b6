#include "fresh_ui.h"

#include "ctrl.h"
#include "hints.h"
#include "pane.h"
#include "smenu.h"
#include "view.h"

void fresh_ui() {
  fresh_draw();
  fresh_sound_only();
  view_reset();
  view_reset_pointers();
  ctrl_reset();
  hint_reset();
  settings_reset();
  pane_reset();
}
