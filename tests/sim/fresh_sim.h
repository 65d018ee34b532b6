#pragma once
#include "fresh_crowd.h"
#include "wld_init.h"

inline void fresh_sim() {
  fresh_crowd();
  wld_reset();
}
