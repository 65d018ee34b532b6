// A contact sheet for looking at the art: every HUD image over a checker
// board, and text in the stroke font at the sizes the HUD uses. PNG with
// stored (uncompressed) deflate blocks.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "assetgen.h"
#include "fontgen.h"
#include "hud_art.h"
#include "raster.h"

namespace {

const int SW = 1100, SH = 1300;
uint8_t sheet[SH][SW][3];

uint32_t crc_table[256];

uint32_t crc(const uint8_t* p, size_t n, uint32_t c = 0xffffffffu) {
  for (size_t i = 0; i < n; i++) c = crc_table[(c ^ p[i]) & 0xff] ^ (c >> 8);
  return c;
}

void be32(uint8_t* p, uint32_t v) { p[0] = v >> 24, p[1] = v >> 16, p[2] = v >> 8, p[3] = v; }

void chunk(FILE* f, const char* type, const uint8_t* data, uint32_t n) {
  uint8_t head[8];
  be32(head, n);
  memcpy(head + 4, type, 4);
  fwrite(head, 1, 8, f);
  if (n > 0) fwrite(data, 1, n, f);
  uint8_t tail[4];
  be32(tail, crc(data, n, crc((const uint8_t*)type, 4)) ^ 0xffffffffu);
  fwrite(tail, 1, 4, f);
}

bool write_png(const char* out) {
  for (uint32_t n = 0; n < 256; n++) {
    uint32_t c = n;
    for (int k = 0; k < 8; k++) c = c & 1 ? 0xedb88320u ^ (c >> 1) : c >> 1;
    crc_table[n] = c;
  }
  static uint8_t raw[SH * (SW * 3 + 1)];
  static uint8_t z[sizeof raw + sizeof raw / 65535 * 5 + 64];
  size_t rn = 0, zn = 0;
  for (int y = 0; y < SH; y++) {
    raw[rn++] = 0;
    memcpy(raw + rn, sheet[y], SW * 3);
    rn += SW * 3;
  }
  z[zn++] = 0x78, z[zn++] = 0x01;
  uint32_t a = 1, b = 0;
  for (size_t i = 0; i < rn; i++) a = (a + raw[i]) % 65521, b = (b + a) % 65521;
  for (size_t at = 0; at < rn;) {
    const size_t len = rn - at < 65535 ? rn - at : 65535;
    z[zn++] = at + len == rn;
    z[zn++] = len & 0xff, z[zn++] = len >> 8, z[zn++] = ~len & 0xff, z[zn++] = (~len >> 8) & 0xff;
    memcpy(z + zn, raw + at, len);
    zn += len, at += len;
  }
  be32(z + zn, b << 16 | a);
  zn += 4;
  FILE* f = fopen(out, "wb");
  if (!f) return false;
  fwrite("\x89PNG\r\n\x1a\n", 1, 8, f);
  uint8_t ihdr[13] = {0};
  be32(ihdr, SW), be32(ihdr + 4, SH);
  ihdr[8] = 8, ihdr[9] = 2;
  chunk(f, "IHDR", ihdr, 13);
  chunk(f, "IDAT", z, zn);
  chunk(f, "IEND", nullptr, 0);
  return fclose(f) == 0;
}

// Copies the canvas onto the sheet at (x, y) over a checker or a flat colour.
void place(int x, int y, int scale, const uint8_t* flat) {
  for (int v = 0; v < raster_height() * scale; v++)
    for (int u = 0; u < raster_width() * scale; u++) {
      if (y + v >= SH || x + u >= SW) continue;
      unsigned char p[4];
      raster_pixel(u / scale, v / scale, p);
      const uint8_t check = ((u / 8 + v / 8) % 2) ? 200 : 150;
      for (int k = 0; k < 3; k++) {
        const float bg = flat ? flat[k] : check;
        sheet[y + v][x + u][k] = (uint8_t)(bg + (p[k] - bg) * p[3] / 255.0f);
      }
    }
}

// Copies the canvas shrunk to the given height, each sheet pixel the mean of
// the image pixels under it: how the HUD shows it on a small screen.
void place_shrunk(int x, int y, int height, const uint8_t* bg) {
  const float k = (float)raster_height() / height;
  const int width = (int)(raster_width() / k);
  for (int v = 0; v < height; v++)
    for (int u = 0; u < width; u++) {
      float acc[3] = {0, 0, 0}, n = 0;
      for (int sy = (int)(v * k); sy < (int)((v + 1) * k); sy++)
        for (int sx = (int)(u * k); sx < (int)((u + 1) * k); sx++) {
          unsigned char p[4];
          raster_pixel(sx, sy, p);
          for (int c = 0; c < 3; c++) acc[c] += bg[c] + (p[c] - bg[c]) * p[3] / 255.0f;
          n++;
        }
      if (n > 0 && y + v < SH && x + u < SW)
        for (int c = 0; c < 3; c++) sheet[y + v][x + u][c] = (uint8_t)(acc[c] / n);
    }
}

}  // namespace

bool assetgen_sheet(const char* out) {
  if (!fontgen_build()) return false;
  memset(sheet, 90, sizeof sheet);
  int x = 10, y = 10, rowh = 0;
  for (int i = 0; i < hudart_count; i++) {
    hudart_draw(i);
    const int scale = raster_width() <= 64 && raster_height() <= 128 ? 2 : 1;
    if (x + raster_width() * scale > SW) x = 10, y += rowh + 10, rowh = 0;
    place(x, y, scale, nullptr);
    x += raster_width() * scale + 10;
    if (raster_height() * scale > rowh) rowh = raster_height() * scale;
  }
  y += rowh + 10;
  const uint8_t dark[3] = {51, 51, 76};
  // The tiles and portraits at 48 pixels high, as on a 720-line screen.
  for (int i = 0, sx = 10; i < 16; i++) {
    hudart_draw(i);
    if (sx + 130 > SW) sx = 10, y += 58;
    place_shrunk(sx, y, 48, dark);
    sx += 130;
  }
  y += 58;
  raster_begin(1000, 420);
  float ty = 20;
  for (float size : {1.6f, 2.4f, 4.0f}) {
    ty += size * 7;
    raster_text("Tavorek, Ombrelith: build the pyramid! 0123456789", 8, ty, size, {1, 1, 1, 1});
    ty += size * 7;
    raster_text("ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz", 8, ty, size, {1, 1, 1, 1});
    ty += size * 7;
    raster_text("!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~ \x01\x02\x03\x04 \x18 \x1a\x1b \x7f 2026 \x05",
                8, ty, size, {1, 1, 1, 1});
  }
  place(10, y, 1, dark);
  return write_png(out);
}
