#pragma once
#include "crowd.h"
#include "fresh_core.h"
#include "potfield.h"

inline void fresh_crowd() {
  fresh_core();
  crowd_reset();
  potfield_reset();
}
