// Screen views, as far as the shell routes input to them.
#pragma once
#include <cstdint>

#define VIEWCOUNT 24

// The pointer that last went down on a view.
struct view_pointer {
  int32_t id;  // -1 none
  int32_t moved;
  float lastx, lasty;
  float stepdx, stepdy;
  float downx, downy;
};

extern uint8_t view_shown[VIEWCOUNT];
extern view_pointer view_ptr[VIEWCOUNT];

void view_key(int32_t key, int32_t down);
// Hit test at the shell's pointer; returns the view hit or -1.
int view_pointer_down(int32_t id);
// Returns whether a camera touch of that id existed.
bool view_pointer_up(int32_t id);
// Lowest view whose pointer record holds id, or -1.
int view_find_pointer(int32_t id);
void view_pointer_move(bool held);
