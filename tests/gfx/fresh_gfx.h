// The base library and the base graphics as a fresh process has them. With
// the context current, so that the GL objects go with the records; without
// one, only records that hold no GL objects may be left.
#pragma once
#include "fresh_core.h"

void fresh_gfx();
// The graphics layer alone, for the layers that reset the base library
// through another path first.
void fresh_gfx_only();
