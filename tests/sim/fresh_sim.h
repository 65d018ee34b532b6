// Every layer up to the simulation as a fresh process has it, the physics
// torn down.
#pragma once
#include "fresh_crowd.h"

void fresh_sim();
