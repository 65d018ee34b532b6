// PLACEHOLDER until the real sound engine lands: silent.
#include "sengine.h"

void sengine_exit() {}
void sengine_on_playfx(const char* text) {}
void sengine_on_musicsetting(const char* text) {}
