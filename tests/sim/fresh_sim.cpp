#include "fresh_sim.h"

#include "wld_init.h"

void fresh_sim() {
  fresh_crowd();
  wld_reset();
}
