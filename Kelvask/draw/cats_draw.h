// The cats from the pose step's matrices: sitting ones and walking ones, one
// instanced call per model.
#pragma once
#include <cstdint>

// Registers the sitting and the walking model, room for every cat in each.
// Once per process, by the controller's resource set-up.
void cats_init();
int32_t cats_draw(const float cam[5][16]);
