#include "txdb_raw.h"

#include <dirent.h>
#include <epoxy/gl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "regfile.h"

#define TXDB_PKM_HEADER 16

txdb_entry txdb_entries[TXDB_MAX_SZ];
int32_t txdb_sz;
char txdb_dir[256];

void txdb_set_dir(const char* dir) { snprintf(txdb_dir, sizeof txdb_dir, "%s", dir); }

int64_t txdb_etc2_size(int32_t width, int32_t height) {
  return (((int64_t)width + 3) / 4) * (((int64_t)height + 3) / 4) * 8;
}

// Sides GL can take, 1 to GL_MAX_TEXTURE_SIZE, checked before any allocation.
static bool txdb_size_ok(const char* name, int32_t width, int32_t height) {
  GLint max = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
  if (width > 0 && height > 0 && width <= max && height <= max) return true;
  LOG("ERR Texture '%s' has size %dx%d, outside 1 to %d", name, width, height, max);
  return false;
}

static int64_t txdb_file_size(FILE* f) {
  struct stat st;
  return fstat(fileno(f), &st) == 0 ? (int64_t)st.st_size : 0;
}

uint32_t txdb_add(const char* name, uint8_t* pixels, int32_t width, int32_t height,
                  bool compressed) {
  ASSERT(txdb_sz < TXDB_MAX_SZ);
  // Errors left by earlier calls would be taken for this upload's.
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; i++) {
  }
  GLuint t = 0;
  glGenTextures(1, &t);
  glBindTexture(GL_TEXTURE_2D, t);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  if (compressed) {
    glCompressedTexImage2D(GL_TEXTURE_2D, 0, GL_COMPRESSED_RGB8_ETC2, width, height, 0,
                           (GLsizei)txdb_etc2_size(width, height), pixels);
  } else {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
  }
  const GLenum err = glGetError();
  if (err != GL_NO_ERROR) {
    LOG("ERR GL refused texture '%s' of size %dx%d (0x%x)", name, width, height, err);
    glDeleteTextures(1, &t);
    free(pixels);
    return 0;
  }
  txdb_entries[txdb_sz++] = {name, t, pixels};
  return t;
}

// Reads exactly n bytes of f into a new block; null (block freed) when the file ends early.
static uint8_t* txdb_read_block(FILE* f, size_t n) {
  uint8_t* block = (uint8_t*)malloc(n ? n : 1);
  ASSERT(block);
  if (fread(block, 1, n, f) != n) {
    free(block);
    return nullptr;
  }
  return block;
}

uint32_t txdb_read_raw(const char* name, int32_t width, int32_t height, FILE* f) {
  if (!txdb_size_ok(name, width, height)) return 0;
  const int64_t n = (int64_t)width * height * 4, held = txdb_file_size(f);
  if (n > held + TXDB_PAD_MAX) {
    LOG("ERR Texture '%s' claims %dx%d but its file holds %lld bytes", name, width, height,
        (long long)held);
    return 0;
  }
  // Zeroed, so the part a short file lacks comes out transparent black.
  uint8_t* pixels = (uint8_t*)calloc(n, 1);
  ASSERT(pixels);
  if (fread(pixels, 1, n, f) != (size_t)n)
    LOG("ERR Incomplete read from texture file of size %dx%d", width, height);
  return txdb_add(name, pixels, width, height, false);
}

// The container's magic, then version "10" (ETC1, whose blocks ETC2 reads
// alike) or "20".
static bool txdb_is_pkm(const uint8_t* header) {
  return memcmp(header, "PKM ", 4) == 0 &&
         (memcmp(header + 4, "10", 2) == 0 || memcmp(header + 4, "20", 2) == 0);
}

static uint32_t txdb_read_pkm(const char* name, FILE* f, int32_t* w, int32_t* h) {
  uint8_t header[TXDB_PKM_HEADER];
  if (fread(header, 1, sizeof header, f) != sizeof header) {
    LOG("ERR Compressed texture '%s' has no PKM header", name);
    return 0;
  }
  if (!txdb_is_pkm(header)) {
    LOG("ERR Compressed texture '%s' is not a PKM file of version 10 or 20", name);
    return 0;
  }
  *w = header[8] << 8 | header[9];
  *h = header[10] << 8 | header[11];
  if (!txdb_size_ok(name, *w, *h)) return 0;
  const int64_t n = txdb_etc2_size(*w, *h);
  uint8_t* data = txdb_file_size(f) >= TXDB_PKM_HEADER + n ? txdb_read_block(f, n) : nullptr;
  if (!data) {
    LOG("ERR Compressed texture '%s' is shorter than %lld bytes of blocks", name, (long long)n);
    return 0;
  }
  return txdb_add(name, data, *w, *h, true);
}

int32_t txdb_load_pkms(const char* const* names, int32_t cnt) {
  int32_t loaded = 0;
  for (int32_t i = 0; i < cnt; i++) {
    char path[512];
    snprintf(path, sizeof path, "%s/%s", txdb_dir, names[i]);
    FILE* f = regfile_open(path, "rb");
    if (!f) {
      LOG("ERR Could not open compressed texture '%s'", names[i]);
      continue;
    }
    int32_t w = 0, h = 0;
    const uint32_t t = txdb_read_pkm(names[i], f, &w, &h);
    fclose(f);
    if (!t) continue;
    loaded++;
    LOG("Loaded compressed %s(%dx%d) as %02x", names[i], w, h, t);
  }
  return loaded;
}

// How well a directory entry serves a wanted name: 2 its base is the name,
// 1 its base only begins the name, 0 not at all. Width and height come from
// the text after the first '.', "<w>x<h>".
static int txdb_match(const char* entry, const char* wanted, int32_t* w, int32_t* h) {
  const char* dot = strchr(entry, '.');
  if (!dot || dot == entry) return 0;
  const size_t base = dot - entry;
  if (strncmp(entry, wanted, base) != 0) return 0;
  const char* x = strchr(dot + 1, 'x');
  if (!x) return 0;
  *w = atoi(dot + 1);
  *h = atoi(x + 1);
  return wanted[base] == 0 ? 2 : 1;
}

// The best entry for a wanted name, the smallest name among equals so the
// choice does not hang on the listing order; entries tried earlier are skipped.
static bool txdb_pick(DIR* dir, const char* wanted, char (*taken)[256], int32_t ntaken, char* best,
                      int32_t* w, int32_t* h) {
  int best_rank = 0;
  rewinddir(dir);
  while (const dirent* de = readdir(dir)) {
    int32_t ew = 0, eh = 0;
    const int rank = txdb_match(de->d_name, wanted, &ew, &eh);
    if (rank == 0 || rank < best_rank || strlen(de->d_name) >= 256) continue;
    if (rank == best_rank && strcmp(de->d_name, best) >= 0) continue;
    bool used = false;
    for (int32_t i = 0; i < ntaken && !used; i++) used = strcmp(taken[i], de->d_name) == 0;
    if (used) continue;
    best_rank = rank;
    strcpy(best, de->d_name);
    *w = ew, *h = eh;
  }
  return best_rank > 0;
}

int32_t txdb_load_dir(const char* const* names, int32_t cnt) {
  DIR* dir = opendir(txdb_dir);
  if (!dir) {
    LOG("ERR Cannot open dir %s to read textures. (%s)", txdb_dir, strerror(errno));
    return 0;
  }
  // Every entry tried, loaded or not: a file that does not load gives way to
  // the next best one for its name (a stray empty banner.0x0 beside the real one).
  static char tried[2 * TXDB_MAX_SZ][256];
  const int32_t most = (int32_t)(sizeof tried / sizeof tried[0]);
  int32_t ntried = 0, loaded = 0;
  for (int32_t i = 0; i < cnt && ntried < most; i++) {
    int32_t w = 0, h = 0;
    uint32_t t = 0;
    while (!t && ntried < most && txdb_pick(dir, names[i], tried, ntried, tried[ntried], &w, &h)) {
      const char* entry = tried[ntried++];
      char path[512];
      snprintf(path, sizeof path, "%s/%s", txdb_dir, entry);
      FILE* f = regfile_open(path, "rb");
      if (!f) {
        LOG("ERR Cannot open texture file %s (%s)", path, regfile_reason());
        continue;
      }
      t = txdb_read_raw(names[i], w, h, f);
      fclose(f);
    }
    if (!t) continue;
    loaded++;
    LOG("Loaded %s(%dx%d) as %02x at %p", names[i], w, h, t,
        (void*)txdb_entries[txdb_sz - 1].pixels);
  }
  closedir(dir);
  return loaded;
}

void txdb_use(const char* name) {
  for (int32_t i = 0; i < txdb_sz; i++)
    if (strcmp(txdb_entries[i].name, name) == 0) {
      glBindTexture(GL_TEXTURE_2D, txdb_entries[i].texture);
      return;
    }
  LOG("ERR Texture '%s' not stored in txdb.", name);
}

void txdb_clear() {
  for (int32_t i = 0; i < txdb_sz; i++) {
    glDeleteTextures(1, &txdb_entries[i].texture);
    free(txdb_entries[i].pixels);
  }
  LOG("Cleared %d textures from txdb", txdb_sz);
  txdb_sz = 0;
}

void txdb_reset() {
  txdb_clear();
  memset(txdb_entries, 0, sizeof txdb_entries);
  txdb_dir[0] = 0;
}
