// Sound files: a WAV image inside one zlib stream, both of exact sizes. The
// stream deflates a prefix of the image and keeps the rest in stored blocks;
// moving the split point byte by byte sets the packed size exactly.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "sound_synth.h"

typedef std::vector<uint8_t> bytes;

static void put16(bytes& b, uint32_t v) {
  b.push_back(v & 255);
  b.push_back((v >> 8) & 255);
}
static void put32(bytes& b, uint32_t v) {
  put16(b, v & 0xffff);
  put16(b, v >> 16);
}

static bytes wav_image(const snd_buf& samples, int channels, int size) {
  const uint32_t data = size - 44;
  bytes b;
  b.reserve(size);
  b.insert(b.end(), {'R', 'I', 'F', 'F'});
  put32(b, size - 8);
  b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(b, 16);
  put16(b, 1);  // PCM
  put16(b, channels);
  put32(b, SND_RATE);
  put32(b, SND_RATE * channels * 2);
  put16(b, channels * 2);
  put16(b, 16);
  b.insert(b.end(), {'d', 'a', 't', 'a'});
  put32(b, data);
  for (uint32_t i = 0; i < data / 2; i++) {
    const float v = i < samples.size() ? samples[i] : 0.0f;
    put16(b, (uint16_t)(int16_t)lrintf(std::max(-1.0f, std::min(1.0f, v)) * 32767.0f));
  }
  return b;
}

static const int STORED_MAX = 65535;
static const int LEVEL = 9;

static long stored_cost(long n) { return n + 5 * std::max(1L, (n + STORED_MAX - 1) / STORED_MAX); }

static bool deflate_start(z_stream& z) {
  memset(&z, 0, sizeof z);
  return deflateInit(&z, LEVEL) == Z_OK;
}

// Packed size with the first `split` bytes deflated (sync flush) and the rest stored.
static long packed_size(const bytes& img, long split) {
  z_stream z;
  if (!deflate_start(z)) return -1;
  bytes out(compressBound(split) + 64);
  z.next_in = (Bytef*)img.data();
  z.avail_in = split;
  z.next_out = out.data();
  z.avail_out = out.size();
  deflate(&z, Z_SYNC_FLUSH);
  const long n = z.total_out;
  deflateEnd(&z);
  return n + stored_cost((long)img.size() - split) + 4;
}

// The split in [from, from + span) whose packed size is exactly `packed`, or -1.
// One stream walks the span byte by byte; a copy of it is flushed at each step.
static long exact_split(const bytes& img, long from, long span, long packed) {
  z_stream z;
  if (!deflate_start(z)) return -1;
  bytes out(compressBound(img.size()) + 64), scratch(1 << 20);
  z.next_in = (Bytef*)img.data();
  z.avail_in = from;
  z.next_out = out.data();
  z.avail_out = out.size();
  deflate(&z, Z_NO_FLUSH);
  long found = -1;
  for (long s = from; s < from + span && s < (long)img.size() && found < 0; s++) {
    z_stream c;
    if (deflateCopy(&c, &z) != Z_OK) break;
    c.next_out = scratch.data();
    c.avail_out = scratch.size();
    deflate(&c, Z_SYNC_FLUSH);
    if ((long)c.total_out + stored_cost((long)img.size() - s) + 4 == packed) found = s;
    deflateEnd(&c);
    z.avail_in = 1;
    deflate(&z, Z_NO_FLUSH);
  }
  deflateEnd(&z);
  return found;
}

static bytes pack_at(const bytes& img, long split) {
  z_stream z;
  deflate_start(z);
  bytes out(compressBound(img.size()) + 64);
  z.next_in = (Bytef*)img.data();
  z.avail_in = split;
  z.next_out = out.data();
  z.avail_out = out.size();
  deflate(&z, Z_SYNC_FLUSH);
  out.resize(z.total_out);
  deflateEnd(&z);
  // Stored blocks after the byte-aligned flush: header byte (final bit on the
  // last), length and its complement, the raw bytes.
  long at = split;
  do {
    const long n = std::min((long)STORED_MAX, (long)img.size() - at);
    out.push_back(at + n >= (long)img.size() ? 1 : 0);
    put16(out, n);
    put16(out, ~n & 0xffff);
    out.insert(out.end(), img.begin() + at, img.begin() + at + n);
    at += n;
  } while (at < (long)img.size());
  const uLong adler = adler32(adler32(0, nullptr, 0), img.data(), img.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((adler >> shift) & 255);
  return out;
}

bool snd_write_packed(const snd_buf& samples, int channels, int size, int packed, const char* out) {
  const bytes img = wav_image(samples, channels, size);
  // The packed size shrinks as the split grows; bisect on coarse steps, then
  // walk the last step for the exact size.
  const long step = 4096;
  long lo = 0, hi = (long)img.size() - 1;
  if (packed_size(img, hi) > packed) {
    fprintf(stderr, "assetgen: %s deflates to more than %d bytes\n", out, packed);
    return false;
  }
  while (hi - lo > step) {
    const long mid = (lo + hi) / 2;
    (packed_size(img, mid) >= packed ? lo : hi) = mid;
  }
  const long split = exact_split(img, std::max(0L, lo - step), 3 * step, packed);
  if (split < 0) {
    fprintf(stderr, "assetgen: no split of %s packs to %d bytes\n", out, packed);
    return false;
  }
  const bytes z = pack_at(img, split);
  bytes check(size + 8);
  uLongf got = check.size();
  if ((long)z.size() != packed || uncompress(check.data(), &got, z.data(), z.size()) != Z_OK ||
      got != (uLongf)size || memcmp(check.data(), img.data(), size) != 0) {
    fprintf(stderr, "assetgen: packing %s did not round-trip\n", out);
    return false;
  }
  FILE* f = fopen(out, "wb");
  if (!f) return false;
  const bool ok = fwrite(z.data(), 1, z.size(), f) == z.size();
  return fclose(f) == 0 && ok;
}
