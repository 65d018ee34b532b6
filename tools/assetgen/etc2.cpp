// ETC2 RGB: the encoder tries the two ETC1 modes in both sub-block layouts and
// the planar mode and keeps the one with the least squared error; the decoder
// reads every mode, including the T and H modes we never write.
#include "etc2.h"

#include <climits>
#include <cstdio>
#include <cstring>

namespace {

const int MODIFIERS[8][2] = {{2, 8},   {5, 17},  {9, 29},   {13, 42},
                             {18, 60}, {24, 80}, {33, 106}, {47, 183}};
const int TH_DISTANCE[8] = {3, 6, 11, 16, 23, 32, 41, 64};

int clamp255(int v) { return v < 0 ? 0 : v > 255 ? 255 : v; }
int ext4(int c) { return c << 4 | c; }
int ext5(int c) { return c << 3 | c >> 2; }
int ext6(int c) { return c << 2 | c >> 4; }
int ext7(int c) { return c << 1 | c >> 6; }
int signed3(int v) { return v >= 4 ? v - 8 : v; }

uint64_t read_be64(const uint8_t in[8]) {
  uint64_t v = 0;
  for (int i = 0; i < 8; i++) v = v << 8 | in[i];
  return v;
}

void write_be64(uint64_t v, uint8_t out[8]) {
  for (int i = 7; i >= 0; i--, v >>= 8) out[i] = (uint8_t)v;
}

int bits(uint64_t v, int hi, int lo) { return (int)((v >> lo) & ((1ull << (hi - lo + 1)) - 1)); }

// 2-bit pixel index of pixel (x, y): msb in bits 16..31, lsb in 0..15.
int pixel_index(uint64_t v, int x, int y) {
  int i = x * 4 + y;
  return (int)((v >> (16 + i)) & 1) << 1 | (int)((v >> i) & 1);
}

void set_pixel_index(uint64_t* v, int x, int y, int idx) {
  int i = x * 4 + y;
  *v |= (uint64_t)(idx >> 1) << (16 + i) | (uint64_t)(idx & 1) << i;
}

bool in_sub(int x, int y, bool flip, int sub) { return (flip ? y >> 1 : x >> 1) == sub; }

void decode_etc1(uint64_t v, bool diff, uint8_t rgb[4][4][3]) {
  int base[2][3];
  for (int c = 0; c < 3; c++) {
    int hi = 63 - 8 * c;
    if (diff) {
      int b = bits(v, hi, hi - 4);
      base[0][c] = ext5(b);
      base[1][c] = ext5(b + signed3(bits(v, hi - 5, hi - 7)));
    } else {
      base[0][c] = ext4(bits(v, hi, hi - 3));
      base[1][c] = ext4(bits(v, hi - 4, hi - 7));
    }
  }
  const int table[2] = {bits(v, 39, 37), bits(v, 36, 34)};
  const bool flip = bits(v, 32, 32);
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 4; x++) {
      int s = in_sub(x, y, flip, 1);
      int idx = pixel_index(v, x, y);
      int m = MODIFIERS[table[s]][idx & 1];
      if (idx & 2) m = -m;
      for (int c = 0; c < 3; c++) rgb[y][x][c] = (uint8_t)clamp255(base[s][c] + m);
    }
}

void paint_pixels(uint64_t v, const int paint[4][3], uint8_t rgb[4][4][3]) {
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 4; x++)
      for (int c = 0; c < 3; c++) rgb[y][x][c] = (uint8_t)paint[pixel_index(v, x, y)][c];
}

void decode_t(uint64_t v, uint8_t rgb[4][4][3]) {
  const int c1[3] = {ext4(bits(v, 60, 59) << 2 | bits(v, 57, 56)), ext4(bits(v, 55, 52)),
                     ext4(bits(v, 51, 48))};
  const int c2[3] = {ext4(bits(v, 47, 44)), ext4(bits(v, 43, 40)), ext4(bits(v, 39, 36))};
  const int d = TH_DISTANCE[bits(v, 35, 34) << 1 | bits(v, 32, 32)];
  int paint[4][3];
  for (int c = 0; c < 3; c++) {
    paint[0][c] = c1[c];
    paint[1][c] = clamp255(c2[c] + d);
    paint[2][c] = c2[c];
    paint[3][c] = clamp255(c2[c] - d);
  }
  paint_pixels(v, paint, rgb);
}

void decode_h(uint64_t v, uint8_t rgb[4][4][3]) {
  const int r1 = bits(v, 62, 59), g1 = bits(v, 58, 56) << 1 | bits(v, 52, 52);
  const int b1 = bits(v, 51, 51) << 3 | bits(v, 49, 47);
  const int r2 = bits(v, 46, 43), g2 = bits(v, 42, 39), b2 = bits(v, 38, 35);
  const int order = (r1 << 8 | g1 << 4 | b1) >= (r2 << 8 | g2 << 4 | b2);
  const int d = TH_DISTANCE[bits(v, 34, 34) << 2 | bits(v, 32, 32) << 1 | order];
  const int c1[3] = {ext4(r1), ext4(g1), ext4(b1)}, c2[3] = {ext4(r2), ext4(g2), ext4(b2)};
  int paint[4][3];
  for (int c = 0; c < 3; c++) {
    paint[0][c] = clamp255(c1[c] + d);
    paint[1][c] = clamp255(c1[c] - d);
    paint[2][c] = clamp255(c2[c] + d);
    paint[3][c] = clamp255(c2[c] - d);
  }
  paint_pixels(v, paint, rgb);
}

struct planar {
  int o[3], h[3], v[3];  // 6, 7, 6 bits per channel (r, g, b)
};

void planar_pixels(const planar& p, uint8_t rgb[4][4][3]) {
  for (int c = 0; c < 3; c++) {
    auto ext = c == 1 ? ext7 : ext6;
    int o = ext(p.o[c]), h = ext(p.h[c]), v = ext(p.v[c]);
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++)
        rgb[y][x][c] = (uint8_t)clamp255((x * (h - o) + y * (v - o) + 4 * o + 2) >> 2);
  }
}

void decode_planar(uint64_t v, uint8_t rgb[4][4][3]) {
  planar p;
  p.o[0] = bits(v, 62, 57);
  p.o[1] = bits(v, 56, 56) << 6 | bits(v, 54, 49);
  p.o[2] = bits(v, 48, 48) << 5 | bits(v, 44, 43) << 3 | bits(v, 41, 39);
  p.h[0] = bits(v, 38, 34) << 1 | bits(v, 32, 32);
  p.h[1] = bits(v, 31, 25);
  p.h[2] = bits(v, 24, 19);
  p.v[0] = bits(v, 18, 13);
  p.v[1] = bits(v, 12, 6);
  p.v[2] = bits(v, 5, 0);
  planar_pixels(p, rgb);
}

int block_error(const uint8_t a[4][4][3], const uint8_t b[4][4][3]) {
  int e = 0;
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 4; x++)
      for (int c = 0; c < 3; c++) {
        int d = a[y][x][c] - b[y][x][c];
        e += d * d;
      }
  return e;
}

// Best table and pixel indices of one sub-block for a given base colour.
int fit_sub_block(const uint8_t rgb[4][4][3], bool flip, int sub, const int base[3], int* table,
                  uint64_t* idx_bits) {
  int best = INT_MAX;
  for (int t = 0; t < 8; t++) {
    int err = 0;
    uint64_t b = 0;
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++) {
        if (!in_sub(x, y, flip, sub)) continue;
        int pbest = INT_MAX, pidx = 0;
        for (int idx = 0; idx < 4; idx++) {
          int m = MODIFIERS[t][idx & 1] * (idx & 2 ? -1 : 1), e = 0;
          for (int c = 0; c < 3; c++) {
            int d = clamp255(base[c] + m) - rgb[y][x][c];
            e += d * d;
          }
          if (e < pbest) pbest = e, pidx = idx;
        }
        err += pbest;
        set_pixel_index(&b, x, y, pidx);
      }
    if (err < best) best = err, *table = t, *idx_bits = b;
  }
  return best;
}

void sub_block_mean(const uint8_t rgb[4][4][3], bool flip, int sub, float mean[3]) {
  mean[0] = mean[1] = mean[2] = 0;
  for (int y = 0; y < 4; y++)
    for (int x = 0; x < 4; x++)
      if (in_sub(x, y, flip, sub))
        for (int c = 0; c < 3; c++) mean[c] += rgb[y][x][c] / 8.0f;
}

int quantise(float v, int levels) {
  int q = (int)(v * (levels - 1) / 255.0f + 0.5f);
  return q < 0 ? 0 : q >= levels ? levels - 1 : q;
}

// An ETC1-mode block for one layout; individual when diff is false.
uint64_t encode_etc1(const uint8_t rgb[4][4][3], bool flip, bool diff, bool* ok) {
  int q[2][3];
  for (int s = 0; s < 2; s++) {
    float mean[3];
    sub_block_mean(rgb, flip, s, mean);
    for (int c = 0; c < 3; c++) q[s][c] = quantise(mean[c], diff ? 32 : 16);
  }
  uint64_t v = (uint64_t)diff << 33 | (uint64_t)flip << 32;
  *ok = true;
  for (int c = 0; c < 3; c++) {
    int hi = 63 - 8 * c;
    if (diff) {
      int d = q[1][c] - q[0][c];
      if (d < -4 || d > 3) *ok = false;
      v |= (uint64_t)q[0][c] << (hi - 4) | (uint64_t)(d & 7) << (hi - 7);
    } else {
      v |= (uint64_t)q[0][c] << (hi - 3) | (uint64_t)q[1][c] << (hi - 7);
    }
  }
  if (!*ok) return 0;
  for (int s = 0; s < 2; s++) {
    int base[3], table = 0;
    uint64_t idx = 0;
    for (int c = 0; c < 3; c++) base[c] = diff ? ext5(q[s][c]) : ext4(q[s][c]);
    fit_sub_block(rgb, flip, s, base, &table, &idx);
    v |= (uint64_t)table << (s ? 34 : 37) | idx;
  }
  return v;
}

// Least-squares plane per channel through the 16 pixels, quantised.
planar fit_planar(const uint8_t rgb[4][4][3]) {
  planar p;
  for (int c = 0; c < 3; c++) {
    float mean = 0, sx = 0, sy = 0;
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++) {
        mean += rgb[y][x][c] / 16.0f;
        sx += (x - 1.5f) * rgb[y][x][c];
        sy += (y - 1.5f) * rgb[y][x][c];
      }
    const float gx = sx / 20.0f, gy = sy / 20.0f;  // sum of (x - 1.5)^2 over 16 pixels
    const float o = mean - 1.5f * gx - 1.5f * gy;
    const int levels = c == 1 ? 128 : 64;
    p.o[c] = quantise(o, levels);
    p.h[c] = quantise(o + 4 * gx, levels);
    p.v[c] = quantise(o + 4 * gy, levels);
  }
  return p;
}

// Planar bits, with the free bits set so that red and green stay in range and
// blue overflows, which is how a decoder tells this mode.
uint64_t pack_planar(const planar& p) {
  uint64_t v = 1ull << 33;
  v |= (uint64_t)p.o[0] << 57 | (uint64_t)(p.o[1] >> 6) << 56 | (uint64_t)(p.o[1] & 63) << 49;
  v |= (uint64_t)(p.o[2] >> 5) << 48 | (uint64_t)((p.o[2] >> 3) & 3) << 43 |
       (uint64_t)(p.o[2] & 7) << 39;
  v |= (uint64_t)(p.h[0] >> 1) << 34 | (uint64_t)(p.h[0] & 1) << 32;
  v |= (uint64_t)p.h[1] << 25 | (uint64_t)p.h[2] << 19 | (uint64_t)p.v[0] << 13 |
       (uint64_t)p.v[1] << 6 | (uint64_t)p.v[2];
  if (bits(v, 62, 59) + signed3(bits(v, 58, 56)) < 0) v |= 1ull << 63;
  if (bits(v, 54, 51) + signed3(bits(v, 50, 48)) < 0) v |= 1ull << 55;
  const int b_low = bits(v, 44, 43), b_high = bits(v, 41, 40);
  if (b_low + b_high < 4)
    v |= 1ull << 42;  // blue 0..3 plus a negative difference
  else
    v |= 7ull << 45;  // blue 28..31 plus a positive difference
  return v;
}

}  // namespace

void etc2_decode_block(const uint8_t in[8], uint8_t rgb[4][4][3]) {
  const uint64_t v = read_be64(in);
  if (!bits(v, 33, 33)) return decode_etc1(v, false, rgb);
  const int r = bits(v, 63, 59) + signed3(bits(v, 58, 56));
  const int g = bits(v, 55, 51) + signed3(bits(v, 50, 48));
  const int b = bits(v, 47, 43) + signed3(bits(v, 42, 40));
  if (r < 0 || r > 31) return decode_t(v, rgb);
  if (g < 0 || g > 31) return decode_h(v, rgb);
  if (b < 0 || b > 31) return decode_planar(v, rgb);
  decode_etc1(v, true, rgb);
}

void etc2_encode_block(const uint8_t rgb[4][4][3], uint8_t out[8]) {
  uint64_t best = 0;
  int best_err = INT_MAX;
  uint8_t dec[4][4][3], bytes[8];
  auto consider = [&](uint64_t v) {
    write_be64(v, bytes);
    etc2_decode_block(bytes, dec);
    int e = block_error(rgb, dec);
    if (e < best_err) best_err = e, best = v;
  };
  for (int flip = 0; flip < 2; flip++)
    for (int diff = 0; diff < 2; diff++) {
      bool ok = false;
      uint64_t v = encode_etc1(rgb, flip, diff, &ok);
      if (ok) consider(v);
    }
  consider(pack_planar(fit_planar(rgb)));
  write_be64(best, out);
}

void etc2_encode_image(const uint8_t* rgb, int w, int h, uint8_t* out) {
  uint8_t block[4][4][3];
  for (int by = 0; by < h / 4; by++)
    for (int bx = 0; bx < w / 4; bx++) {
      for (int y = 0; y < 4; y++) memcpy(block[y], rgb + ((by * 4 + y) * w + bx * 4) * 3, 12);
      etc2_encode_block(block, out + (by * (w / 4) + bx) * 8);
    }
}

void etc2_decode_image(const uint8_t* in, int w, int h, uint8_t* rgb) {
  uint8_t block[4][4][3];
  for (int by = 0; by < h / 4; by++)
    for (int bx = 0; bx < w / 4; bx++) {
      etc2_decode_block(in + (by * (w / 4) + bx) * 8, block);
      for (int y = 0; y < 4; y++) memcpy(rgb + ((by * 4 + y) * w + bx * 4) * 3, block[y], 12);
    }
}
