#include "fresh_sound.h"

#include "sengine.h"

void fresh_sound_only() { sengine_reset(); }

void fresh_sound() {
  fresh_core();
  fresh_sound_only();
}
