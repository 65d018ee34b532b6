// PLACEHOLDER until the real views land: the world alone, covering the window.
#include "view.h"

static const int WORLD = 23;

uint8_t view_shown[VIEWCOUNT];
view_pointer view_ptr[VIEWCOUNT];

static bool view_reset() {
  for (view_pointer& p : view_ptr) p.id = -1;
  view_shown[WORLD] = 1;
  return true;
}
[[maybe_unused]] static const bool view_ready = view_reset();

void view_key(int32_t key, int32_t down) {}

int view_pointer_down(int32_t id) {
  if (!view_shown[WORLD]) return -1;
  view_ptr[WORLD].id = id;
  return WORLD;
}

bool view_pointer_up(int32_t id) { return false; }

int view_find_pointer(int32_t id) {
  for (int v = 0; v < VIEWCOUNT; v++)
    if (view_ptr[v].id == id) return v;
  return -1;
}

void view_pointer_move(bool held) {}
