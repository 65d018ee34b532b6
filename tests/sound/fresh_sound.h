#pragma once
#include "fresh_core.h"
#include "sengine.h"

inline void fresh_sound() {
  fresh_core();
  sengine_reset();
}
