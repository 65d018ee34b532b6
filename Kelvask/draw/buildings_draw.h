// The textured buildings, one instanced call each kind; the caller binds the
// textured instanced program and the kind's texture.
#pragma once
#include <cstdint>

int32_t bakeries_draw(const float cam[5][16]);
int32_t huts_draw(const float cam[5][16]);
int32_t taxc_draw(const float cam[5][16]);
