// ETC2 RGB block codec and the PKM container the texture loader reads.
// A block is 4x4 pixels in 8 bytes; pixels are rows of R, G, B bytes.
#pragma once
#include <cstdint>

// Encodes the 4x4 pixels rgb[y][x][c] into one block (ETC1 modes and planar).
void etc2_encode_block(const uint8_t rgb[4][4][3], uint8_t out[8]);
// Decodes any ETC2 RGB block: individual, differential, T, H and planar.
void etc2_decode_block(const uint8_t in[8], uint8_t rgb[4][4][3]);

// Whole images: w and h multiples of 4, blocks row by row, w * h / 2 bytes.
void etc2_encode_image(const uint8_t* rgb, int w, int h, uint8_t* out);
void etc2_decode_image(const uint8_t* in, int w, int h, uint8_t* rgb);

const int PKM_HEADER = 16;
// Writes "PKM " "20", data type 1 (ETC2 RGB), padded and original sizes
// big-endian, then the encoded image. False when w or h is not a multiple of 4
// or the file cannot be written.
bool pkm_write(const char* path, const uint8_t* rgb, int w, int h);
struct pkm_header {
  char magic[5];
  char version[3];
  int type, width, height, orig_width, orig_height;
};
// Reads the 16 header bytes; false when the magic is not "PKM ".
bool pkm_parse_header(const uint8_t bytes[PKM_HEADER], pkm_header* h);
