#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "etc2.h"
#include "gl_context.h"
#include "txdb_raw.h"

namespace {

struct Txdb : GlTest {
  char dir[64] = "/tmp/txdb_testXXXXXX";
  std::vector<std::string> files;
  void SetUp() override {
    GlTest::SetUp();
    ASSERT_NE(mkdtemp(dir), nullptr);
    txdb_set_dir((std::string(dir) + "/").c_str());
  }
  void TearDown() override {
    txdb_clear();
    for (const std::string& f : files) unlink(f.c_str());
    rmdir(dir);
    GlTest::TearDown();
  }
  void write(const char* name, const std::vector<uint8_t>& bytes) {
    files.push_back(std::string(dir) + "/" + name);
    FILE* f = fopen(files.back().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
  }
  void raw(const char* name, int w, int h, uint8_t fill, int missing = 0) {
    write(name, std::vector<uint8_t>(w * h * 4 - missing, fill));
  }
  // The texture's texels as GL holds them.
  std::vector<uint8_t> texel(const char* name, int w, int h) {
    txdb_use(name);
    std::vector<uint8_t> px(w * h * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
  }
};

TEST_F(Txdb, EachWantedNameIsLoadedOnceFromItsBestFile) {
  raw("water.2x2", 2, 2, 10);
  raw("water.4x4", 4, 4, 11);    // duplicate: only one of the two
  raw("wa.2x2", 2, 2, 12);       // begins the name, the exact file wins
  raw("sand.2x2", 2, 2, 13);     // the only one for "sandstone"
  raw("house.2x2", 2, 2, 14);
  raw("householdservant.2x2", 2, 2, 15);
  raw("noext", 1, 1, 16);
  raw(".hidden.2x2", 2, 2, 17);
  raw("waterfall.2x2", 2, 2, 18);  // longer than the name: no match
  const char* const wanted[] = {"water", "sandstone", "house", "householdservant", "missing"};
  int32_t n = 0;
  const std::string log = gl_logged([&] { n = txdb_load_dir(wanted, 5); });
  EXPECT_EQ(n, 4) << log;
  EXPECT_EQ(txdb_sz, 4);
  EXPECT_EQ(gl_count(log, "ERR"), 0) << log;
  // water: the smaller name of two exact files.
  const std::pair<const char*, int> firsts[] = {
      {"water", 10}, {"sandstone", 13}, {"house", 14}, {"householdservant", 15}};
  for (const auto& t : firsts) EXPECT_EQ(texel(t.first, 2, 2)[0], t.second) << t.first;
  EXPECT_EQ(gl_logged([] { txdb_use("missing"); }), "ERR Texture 'missing' not stored in txdb.\n");
}

TEST_F(Txdb, ShortRawFileOrMissingDirectoryIsOneErrLine) {
  raw("water.4x4", 4, 4, 1, 5);
  const char* const wanted[] = {"water"};
  EXPECT_EQ(gl_logged([&] { EXPECT_EQ(txdb_load_dir(wanted, 1), 0); }),
            "ERR Incomplete read from texture file of size 4x4\n");
  EXPECT_EQ(txdb_sz, 0);
  txdb_set_dir("/nonexistent/dir/");
  const std::string log = gl_logged([&] { EXPECT_EQ(txdb_load_dir(wanted, 1), 0); });
  EXPECT_EQ(log.rfind("ERR Cannot open dir /nonexistent/dir/ to read textures. (", 0), 0u) << log;
}

// A PKM header, then body_bytes of blocks of one flat colour.
std::vector<uint8_t> pkm(int w, int h, int body_bytes) {
  std::vector<uint8_t> f = {'P', 'K', 'M', ' ', '2', '0', 0, 1,
                            (uint8_t)(w >> 8), (uint8_t)w, (uint8_t)(h >> 8), (uint8_t)h,
                            (uint8_t)(w >> 8), (uint8_t)w, (uint8_t)(h >> 8), (uint8_t)h};
  for (int b = 0; b < body_bytes / 8; b++) {
    const uint8_t block[8] = {0x88, 0x44, 0xcc, 0x00, 0, 0, 0, 0};
    f.insert(f.end(), block, block + 8);
  }
  return f;
}

TEST_F(Txdb, BrokenPkmIsRefusedWithAnErrLine) {
  write("short.pkm", pkm(8, 8, 24));   // 32 bytes of blocks wanted
  write("zero.pkm", pkm(0, 8, 0));
  write("header.pkm", std::vector<uint8_t>(9, 0));
  const char* const names[] = {"short.pkm", "zero.pkm", "header.pkm"};
  const std::string log = gl_logged([&] { EXPECT_EQ(txdb_load_pkms(names, 3), 0); });
  EXPECT_EQ(txdb_sz, 0);
  EXPECT_EQ(gl_count(log, "ERR "), 3) << log;
}

// A 6x5 image is stored as 2x2 blocks: each block's visible pixels come back.
TEST_F(Txdb, PaddedPkmOfEncodedBlocksKeepsTheirPixels) {
  uint8_t rgb[4][4][3];
  std::vector<uint8_t> body;
  for (int b = 0; b < 4; b++) {
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++)
        for (int c = 0; c < 3; c++) rgb[y][x][c] = (uint8_t)(40 * b + 10 * c + 20);
    uint8_t block[8];
    etc2_encode_block(rgb, block);
    body.insert(body.end(), block, block + 8);
  }
  std::vector<uint8_t> file = pkm(6, 5, 0);
  file.insert(file.end(), body.begin(), body.end());
  write("enc.pkm", file);
  EXPECT_EQ(txdb_etc2_size(256, 256), 32768);
  EXPECT_EQ(txdb_etc2_size(6, 5), 32);
  const char* const names[] = {"enc.pkm", "absent.pkm"};
  const std::string log = gl_logged([&] { EXPECT_EQ(txdb_load_pkms(names, 2), 1); });
  EXPECT_EQ(gl_count(log, "ERR Could not open compressed texture 'absent.pkm'"), 1);
  EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
  const std::vector<uint8_t> px = texel("enc.pkm", 6, 5);
  for (int y = 0; y < 5; y++)
    for (int x = 0; x < 6; x++) {
      uint8_t dec[4][4][3];
      etc2_decode_block(&body[8 * ((y / 4) * 2 + x / 4)], dec);
      EXPECT_EQ(px[4 * (y * 6 + x)], dec[y % 4][x % 4][0]) << x << "," << y;
    }
}

}  // namespace
