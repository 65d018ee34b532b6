#include "fresh_crowd.h"

#include "crowd.h"
#include "potfield.h"

void fresh_crowd() {
  fresh_core();
  crowd_reset();
  potfield_reset();
}
