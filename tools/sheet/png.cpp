#include "png.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

static void png_u32(std::vector<uint8_t>& out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back((uint8_t)(v >> s));
}

static void png_chunk(FILE* f, const char* type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> c;
  png_u32(c, (uint32_t)data.size());
  c.insert(c.end(), type, type + 4);
  c.insert(c.end(), data.begin(), data.end());
  png_u32(c, (uint32_t)crc32(0, c.data() + 4, (uInt)(c.size() - 4)));
  fwrite(c.data(), 1, c.size(), f);
}

bool png_write(const char* path, const uint8_t* rgba, int width, int height) {
  std::vector<uint8_t> raw;
  raw.reserve((size_t)(width * 4 + 1) * height);
  for (int y = height - 1; y >= 0; y--) {  // PNG runs top to bottom
    raw.push_back(0);
    raw.insert(raw.end(), rgba + (size_t)y * width * 4, rgba + (size_t)(y + 1) * width * 4);
  }
  uLongf zsize = compressBound(raw.size());
  std::vector<uint8_t> z(zsize);
  if (compress(z.data(), &zsize, raw.data(), raw.size()) != Z_OK) return false;
  z.resize(zsize);
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  fwrite(signature, 1, 8, f);
  std::vector<uint8_t> ihdr;
  png_u32(ihdr, width);
  png_u32(ihdr, height);
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  png_chunk(f, "IHDR", ihdr);
  png_chunk(f, "IDAT", z);
  png_chunk(f, "IEND", {});
  return fclose(f) == 0;
}
