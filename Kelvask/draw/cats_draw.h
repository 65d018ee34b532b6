// The cats from the pose step's matrices: sitting ones and walking ones, one
// instanced call per model.
#pragma once
#include <cstdint>

int32_t cats_draw(const float cam[5][16]);
