// Writes RGBA rows (bottom row first, as glReadPixels gives them) as a PNG.
#pragma once
#include <cstdint>

bool png_write(const char* path, const uint8_t* rgba, int width, int height);
