// The texture registry: raw RGBA images whose size is in the file name and
// ETC2 images in PKM files, read from the texture directory and found again
// by name.
#pragma once
#include <cstdint>
#include <cstdio>

#define TXDB_MAX_SZ 96
// Zeroes made up for a raw image cut short: a truncated icon still shows, but
// a name that claims far more than its file holds is not trusted with memory.
#define TXDB_PAD_MAX (4 << 20)

struct txdb_entry {
  const char* name;  // the caller's text, not copied
  uint32_t texture;
  uint8_t* pixels;  // the image bytes as read, owned until txdb_clear
};

extern txdb_entry txdb_entries[TXDB_MAX_SZ];
extern int32_t txdb_sz;
extern char txdb_dir[256];  // ends in a separator

void txdb_set_dir(const char* dir);
// Bytes of an ETC2 RGB image: 8 per block of 4x4 pixels, partial blocks padded.
int64_t txdb_etc2_size(int32_t width, int32_t height);
// Takes ownership of pixels (malloc'd). Returns the GL texture name, or 0 (the
// pixels freed, nothing stored) when GL refuses the image.
uint32_t txdb_add(const char* name, uint8_t* pixels, int32_t width, int32_t height,
                  bool compressed);
// Returns the texture name, or 0 for a size GL cannot take or a file short by
// more than TXDB_PAD_MAX bytes; a file less short gives a texture whose missing
// part is zero.
uint32_t txdb_read_raw(const char* name, int32_t width, int32_t height, FILE* f);
int32_t txdb_load_pkms(const char* const* names, int32_t cnt);
// Loads one raw image per wanted name from the texture directory.
int32_t txdb_load_dir(const char* const* names, int32_t cnt);
void txdb_use(const char* name);
void txdb_clear();
// txdb_clear (textures deleted, pixels freed) and no texture directory.
void txdb_reset();
