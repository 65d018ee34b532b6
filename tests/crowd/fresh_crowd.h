// The base library and the crowd with its solver as a fresh process has them.
#pragma once
#include "fresh_core.h"

void fresh_crowd();
