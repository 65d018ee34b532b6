#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "etc2.h"
#include "fresh_gfx.h"
#include "gl_context.h"
#include "txdb_raw.h"

namespace {

struct Txdb : GlTest {
  char dir[64] = "/tmp/txdb_testXXXXXX";
  std::vector<std::string> files;
  void SetUp() override {
    GlTest::SetUp();
    fresh_gfx();
    ASSERT_NE(mkdtemp(dir), nullptr);
    txdb_set_dir((std::string(dir) + "/").c_str());
  }
  void TearDown() override {
    fresh_gfx();  // while the context is current
    for (const std::string& f : files) unlink(f.c_str());
    rmdir(dir);
    GlTest::TearDown();
  }
  void write(const char* name, const std::vector<uint8_t>& bytes) {
    files.push_back(std::string(dir) + "/" + name);
    FILE* f = fopen(files.back().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty())
      fwrite(bytes.data(), 1, bytes.size(), f);  // an empty vector's data may be null
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
  raw("water.4x4", 4, 4, 11);  // duplicate: only one of the two
  raw("wa.2x2", 2, 2, 12);     // begins the name, the exact file wins
  raw("sand.2x2", 2, 2, 13);   // the only one for "sandstone"
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

TEST_F(Txdb, MissingDirectoryIsOneErrLine) {
  const char* const wanted[] = {"water"};
  txdb_set_dir("/nonexistent/dir/");
  const std::string log = gl_logged([&] { EXPECT_EQ(txdb_load_dir(wanted, 1), 0); });
  EXPECT_EQ(log.rfind("ERR Cannot open dir /nonexistent/dir/ to read textures. (", 0), 0u) << log;
}

// A PKM header, then body_bytes of blocks of one flat colour.
std::vector<uint8_t> pkm(int w, int h, int body_bytes) {
  std::vector<uint8_t> f = {'P',
                            'K',
                            'M',
                            ' ',
                            '2',
                            '0',
                            0,
                            1,
                            (uint8_t)(w >> 8),
                            (uint8_t)w,
                            (uint8_t)(h >> 8),
                            (uint8_t)h,
                            (uint8_t)(w >> 8),
                            (uint8_t)w,
                            (uint8_t)(h >> 8),
                            (uint8_t)h};
  for (int b = 0; b < body_bytes / 8; b++) {
    const uint8_t block[8] = {0x88, 0x44, 0xcc, 0x00, 0, 0, 0, 0};
    f.insert(f.end(), block, block + 8);
  }
  return f;
}

// Each hostile file costs one ERR line and no more memory than it holds; only
// a short raw image, or a good one beside the file, still makes a texture.
TEST_F(Txdb, HostileFilesGiveOneErrLineEach) {
  GLint max = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  const std::string square = std::to_string(max) + "x" + std::to_string(max);
  std::vector<uint8_t> magic = pkm(8, 8, 32);
  magic[1] = 'X';
  const struct {
    std::string file;
    int kind;  // 0 these bytes, 1 a FIFO, 2 a link to /dev/zero
    std::vector<uint8_t> bytes;
    const char* wanted;  // the raw image's name, null for a PKM
    int loaded;
    std::string err;
    const char* beside = nullptr;  // a 4x4 image of 7s beside it
  } cases[] = {
      {"fifo.4x4", 1, {}, "fifo", 0, "(not a regular file)"},
      {"fifo.pkm", 1, {}, nullptr, 0, "ERR Could not open compressed texture 'fifo.pkm'"},
      {"short.4x4", 0, std::vector<uint8_t>(59, 9), "short", 1,
       "ERR Incomplete read from texture file of size 4x4"},
      {"banner.0x0", 0, {}, "banner", 1, "ERR Texture 'banner' has size 0x0", "banner.4x4"},
      {"zero." + square, 2, {}, "zero", 0, "(not a regular file)"},
      {"huge." + square, 0, std::vector<uint8_t>(64, 9), "huge", 0,
       "ERR Texture 'huge' claims " + square},
      {"wide." + std::to_string(max + 1) + "x1", 0, std::vector<uint8_t>(4, 9), "wide", 0,
       "ERR Texture 'wide' has size " + std::to_string(max + 1) + "x1, outside 1 to " +
           std::to_string(max)},
      {"magic.pkm", 0, magic, nullptr, 0, "ERR Compressed texture 'magic.pkm' is not a PKM file"},
      {"vast.pkm", 0, pkm(65535, 65535, 64), nullptr, 0,
       "ERR Texture 'vast.pkm' has size 65535x65535"},
      {"zero.pkm", 0, pkm(0, 8, 0), nullptr, 0, "ERR Texture 'zero.pkm' has size 0x8"},
      {"header.pkm", 0, std::vector<uint8_t>(9, 0), nullptr, 0,
       "ERR Compressed texture 'header.pkm' has no PKM header"},
      {"cut.pkm", 0, pkm(8, 8, 24), nullptr, 0,
       "ERR Compressed texture 'cut.pkm' is shorter than 32 bytes"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string path = std::string(dir) + "/" + c.file;
    if (c.kind == 0) write(c.file.c_str(), c.bytes);
    if (c.beside) raw(c.beside, 4, 4, 7);
    if (c.kind > 0) files.push_back(path);
    if (c.kind == 1) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
    if (c.kind == 2) {
      ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0);
    }
    const char* const name = c.file.c_str();
    int32_t n = -1;
    const std::string log =
        gl_logged([&] { n = c.wanted ? txdb_load_dir(&c.wanted, 1) : txdb_load_pkms(&name, 1); });
    EXPECT_EQ(n, c.loaded);
    EXPECT_EQ(txdb_sz, c.loaded);
    EXPECT_EQ(gl_count(log, "ERR "), 1) << log;
    EXPECT_EQ(gl_count(log, c.err), 1) << log;
    if (c.loaded) {
      // What the file held, then zeroes, or the image beside it.
      std::vector<uint8_t> px = c.beside ? std::vector<uint8_t>(64, 7) : c.bytes;
      px.resize(64, 0);
      EXPECT_EQ(texel(c.wanted, 4, 4), px);
    }
    txdb_clear();
  }
}

// An image GL turns down is not stored, and an error left from before does
// not turn down the next one.
TEST_F(Txdb, ImageGlRefusesIsNotCounted) {
  std::string log =
      gl_logged([] { EXPECT_EQ(txdb_add("bad", (uint8_t*)malloc(16), -1, 4, false), 0u); });
  EXPECT_EQ(txdb_sz, 0);
  EXPECT_EQ(log, "ERR GL refused texture 'bad' of size -1x4 (0x501)\n");
  glBindTexture(GL_TEXTURE_2D, 0xdead);  // never generated: an error is pending
  log = gl_logged([] { EXPECT_NE(txdb_add("good", (uint8_t*)calloc(4, 1), 1, 1, false), 0u); });
  EXPECT_EQ(txdb_sz, 1);
  EXPECT_EQ(log, "");
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
