// Our ETC2 codec and the shipped PKM textures.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "etc2.h"
#include "txdb_raw.h"

namespace {

typedef void (*painter)(int x, int y, unsigned char* rgb);

void flat(int, int, unsigned char* p) { p[0] = 200, p[1] = 120, p[2] = 40; }
void gradient(int x, int y, unsigned char* p) {
  p[0] = (unsigned char)(x * 4), p[1] = (unsigned char)(y * 3), p[2] = (unsigned char)(255 - x * 2);
}
void two_tone(int x, int y, unsigned char* p) {  // sharp edge inside blocks
  bool a = (x + y / 2) % 7 < 3;
  p[0] = a ? 230 : 30, p[1] = a ? 200 : 60, p[2] = a ? 90 : 20;
}
void noise(int x, int y, unsigned char* p) {
  unsigned h = (unsigned)x * 73856093u ^ (unsigned)y * 19349663u;
  h = (h ^ (h >> 13)) * 1274126177u;
  for (int c = 0; c < 3; c++) p[c] = (unsigned char)(96 + ((h >> (8 * c)) & 63));
}

double rms_error(painter paint, int w, int h) {
  std::vector<unsigned char> src(w * h * 3), dec(w * h * 3), blocks(w * h / 2);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) paint(x, y, &src[(y * w + x) * 3]);
  etc2_encode_image(src.data(), w, h, blocks.data());
  etc2_decode_image(blocks.data(), w, h, dec.data());
  double e = 0;
  for (size_t i = 0; i < src.size(); i++) e += (src[i] - dec[i]) * (src[i] - dec[i]);
  return std::sqrt(e / src.size());
}

TEST(Etc2, RoundTripWithinBounds) {
  const struct {
    const char* name;
    painter paint;
    double max_rms;
  } cases[] = {{"flat", flat, 4.0},
               {"gradient", gradient, 3.0},
               {"two tone", two_tone, 20.0},
               {"noise", noise, 16.0}};
  for (const auto& c : cases) EXPECT_LT(rms_error(c.paint, 64, 32), c.max_rms) << c.name;
}

// Hand-made blocks of the modes the decoder must read but the encoder never
// writes, and one planar block: colour words from the format's bit layout.
TEST(Etc2, DecodesEveryMode) {
  const struct {
    const char* name;
    uint8_t block[8];
    uint8_t pixel0[3];  // decoded pixel (0, 0): all indices are 0
  } modes[] = {
      // T: red 31 + 3 overflows; colour 1 = (0xf, 0, 0) is paint 0.
      {"T", {0xfb, 0x00, 0x00, 0x02, 0, 0, 0, 0}, {255, 0, 0}},
      // H: green 31 + 1 overflows; colour 1 = (0, 0x1, 0xa), colour 2 = 0, so
      // the distance index is 1 (6) and paint 0 = colour 1 + 6.
      {"H", {0x00, 0xf9, 0x00, 0x02, 0, 0, 0, 0}, {6, 23, 176}},
      // Planar with origin red 0b111111 and everything else 0: blue overflows.
      {"planar", {0x7e, 0x00, 0x04, 0x02, 0, 0, 0, 0}, {255, 0, 0}},
  };
  for (const auto& m : modes) {
    uint8_t rgb[4][4][3];
    etc2_decode_block(m.block, rgb);
    for (int c = 0; c < 3; c++) EXPECT_EQ(rgb[0][0][c], m.pixel0[c]) << m.name << " channel " << c;
  }
}

// What the texture loader reads for a PKM header's sizes, up to the largest a
// header can hold.
TEST(Etc2, BlockBytesOfEverySize) {
  const struct {
    int32_t w, h;
    int64_t bytes;
  } sizes[] = {
      {256, 256, 32768}, {6, 5, 32}, {1, 1, 8}, {65535, 65535, 2147483648LL}, {65535, 1, 131072}};
  for (const auto& s : sizes) EXPECT_EQ(txdb_etc2_size(s.w, s.h), s.bytes) << s.w << "x" << s.h;
}

const struct {
  const char* file;
  int size;
} TEXTURES[] = {
    {"terrain_grn.pkm", 512},     {"terrain_ylw.pkm", 512}, {"terrain_blu.pkm", 512},
    {"bakerymap.pkm", 256},       {"hutmap.pkm", 256},      {"tentmap.pkm", 256},
    {"taxcollectormap.pkm", 256}, {"carriermap.pkm", 256},
};

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

// The terrain textures also paint the map's cells: water blue, the plateau sand.
TEST(Etc2, ShippedTexturesHaveTheirHeaders) {
  std::vector<uint8_t> map = read_file(TAVOREK_RUN_DIR "/testmaps/terrain.pgm");
  ASSERT_GE(map.size(), 128u * 128u);
  const uint8_t* m = map.data() + map.size() - 128 * 128;
  for (const auto& t : TEXTURES) {
    SCOPED_TRACE(t.file);
    const std::vector<uint8_t> bytes = read_file(std::string(TAVOREK_RUN_DIR "/Art/raw/") + t.file);
    pkm_header h;
    ASSERT_TRUE(bytes.size() >= (size_t)PKM_HEADER && pkm_parse_header(bytes.data(), &h));
    std::vector<uint8_t> rgb(h.width * h.height * 3);
    ASSERT_EQ(bytes.size(), PKM_HEADER + rgb.size() / 6);
    etc2_decode_image(bytes.data() + PKM_HEADER, h.width, h.height, rgb.data());
    EXPECT_STREQ(h.version, "20");
    EXPECT_EQ(h.type, 1);
    for (int side : {h.width, h.height, h.orig_width, h.orig_height}) EXPECT_EQ(side, t.size);
    // A picture, not a fill: the channels spread widely.
    int lo = 255, hi = 0;
    for (uint8_t v : rgb) lo = std::min(lo, (int)v), hi = std::max(hi, (int)v);
    EXPECT_GT(hi - lo, 100);
    if (strncmp(t.file, "terrain_", 8) != 0) continue;
    int wet = 0, wet_blue = 0, high = 0, high_sand = 0;
    for (int y = 2; y < 126; y += 3)
      for (int x = 2; x < 126; x += 3) {
        const uint8_t* p = &rgb[((y * 4 + 2) * h.width + x * 4 + 2) * 3];
        if (m[y * 128 + x] <= 1 && m[(y + 1) * 128 + x] <= 1 && m[(y - 1) * 128 + x] <= 1)
          wet++, wet_blue += p[2] > p[0] + 40;
        if (m[y * 128 + x] >= 150) high++, high_sand += p[0] > p[2] + 40 && p[1] > p[2];
      }
    ASSERT_GT(wet, 20);
    ASSERT_GT(high, 100);
    EXPECT_GT(wet_blue, wet * 9 / 10);
    EXPECT_GT(high_sand, high * 8 / 10);
  }
}

TEST(Etc2, PkmWriterRefusesSizesNotOfWholeBlocks) {
  std::vector<uint8_t> rgb(6 * 8 * 3, 128);
  const std::string path = ::testing::TempDir() + "etc2_test.pkm";
  EXPECT_FALSE(pkm_write(path.c_str(), rgb.data(), 6, 8));
  EXPECT_TRUE(pkm_write(path.c_str(), rgb.data(), 8, 4));
  EXPECT_EQ(read_file(path).size(), (size_t)PKM_HEADER + 16);
  remove(path.c_str());
}

}  // namespace
