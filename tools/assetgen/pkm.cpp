// The PKM container: 16 header bytes in front of the ETC2 blocks.
#include <cstdio>
#include <cstring>
#include <vector>

#include "etc2.h"

namespace {
const int PKM_ETC2_RGB = 1;

void put_be16(uint8_t* p, int v) {
  p[0] = (uint8_t)(v >> 8);
  p[1] = (uint8_t)v;
}

int get_be16(const uint8_t* p) { return p[0] << 8 | p[1]; }
}  // namespace

bool pkm_write(const char* path, const uint8_t* rgb, int w, int h) {
  if (w <= 0 || h <= 0 || w % 4 || h % 4 || w > 65535 || h > 65535) return false;
  std::vector<uint8_t> file(PKM_HEADER + (size_t)w * h / 2);
  memcpy(file.data(), "PKM 20", 6);
  put_be16(&file[6], PKM_ETC2_RGB);
  put_be16(&file[8], w);
  put_be16(&file[10], h);
  put_be16(&file[12], w);
  put_be16(&file[14], h);
  etc2_encode_image(rgb, w, h, &file[PKM_HEADER]);
  FILE* f = fopen(path, "wb");
  if (!f) return false;
  bool ok = fwrite(file.data(), 1, file.size(), f) == file.size();
  return fclose(f) == 0 && ok;
}

bool pkm_parse_header(const uint8_t bytes[PKM_HEADER], pkm_header* h) {
  memcpy(h->magic, bytes, 4);
  h->magic[4] = 0;
  memcpy(h->version, bytes + 4, 2);
  h->version[2] = 0;
  h->type = get_be16(bytes + 6);
  h->width = get_be16(bytes + 8);
  h->height = get_be16(bytes + 10);
  h->orig_width = get_be16(bytes + 12);
  h->orig_height = get_be16(bytes + 14);
  return strcmp(h->magic, "PKM ") == 0;
}
