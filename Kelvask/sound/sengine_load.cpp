// Sound files into OpenAL buffers, and the engine's error reports.
#include <AL/al.h>
#include <AL/alut.h>
#include <zlib.h>

#include <cstdio>
#include <vector>

#include "log.h"
#include "regfile.h"
#include "sengine.h"

// An assertion whose one line also says what went wrong with which file.
[[noreturn]] static void fail_load(const char* text, const char* file, int line) {
  log_assert_failed(text, file, line);
  log_assert_stop(text, file, line);
}

uint32_t sengine_load_buffer(const char* name, int32_t isz, int32_t osz) {
  char path[256];
  snprintf(path, sizeof path, "%s/%s", sengine_dir, name);
  char text[400];
  FILE* f = regfile_open(path, "rb");
  if (!f) {
    snprintf(text, sizeof text, "f / Failed to open '%s' for reading.", path);
    fail_load(text, __FILE__, __LINE__);
  }
  // One byte more than expected is read, so a longer file is caught too.
  std::vector<unsigned char> packed(isz + 1);
  const int32_t numread = (int32_t)fread(packed.data(), 1, packed.size(), f);
  fclose(f);
  ASSERT(numread == isz);
  LOG("read %zu bytes from %s", (size_t)numread, name);
  std::vector<unsigned char> image(osz + 8);
  uLongf inflated = osz;
  const int rv = uncompress(image.data(), &inflated, packed.data(), isz);
  ASSERT(rv == Z_OK);
  const int32_t dstsz = (int32_t)inflated;
  ASSERT(dstsz == osz);
  packed = std::vector<unsigned char>();

  // freealut gives buffer 0 for an image it cannot read, which alIsBuffer
  // takes for the valid null buffer: a source given it would stay silent.
  const ALuint buf = alutCreateBufferFromFileImage(image.data(), osz);
  if (buf == AL_NONE || !alIsBuffer(buf)) {
    snprintf(text, sizeof text, "alIsBuffer( buf ) / ALUT: %s in '%s'.",
             alutGetErrorString(alutGetError()), path);
    fail_load(text, __FILE__, __LINE__);
  }
  sengine_check_alut_error();
  ALint size = 0, channels = 0;
  alGetBufferi(buf, AL_SIZE, &size);
  alGetBufferi(buf, AL_CHANNELS, &channels);
  sengine_check_al_error();
  LOG("sample size: %d bytes, with %d channel(s).", size, channels);
  if (size < 0) {
    // A size OpenAL cannot report: keep the image for a look.
    FILE* out = regfile_open("out.wav", "wb");
    ASSERT(out);
    fwrite(image.data(), 1, osz, out);
    fclose(out);
    LOG("Wrote file.");
  }
  return buf;
}

struct al_error_name {
  int code;
  const char* text;
};
static const al_error_name al_errors[] = {
    {AL_NO_ERROR, "AL_NO_ERROR"},
    {AL_INVALID_NAME, "AL_INVALID_NAME"},
    {AL_INVALID_ENUM, "AL_INVALID_ENUM"},
    {AL_INVALID_VALUE, "AL_INVALID_VALUE"},
    {AL_INVALID_OPERATION, "AL_INVALID_OPERATION"},
    {AL_OUT_OF_MEMORY, "AL_OUT_OF_MEMORY"},
};

const char* sengine_al_error_text(int code) {
  for (const al_error_name& e : al_errors)
    if (e.code == code) return e.text;
  return "unknown OpenAL error";
}

void sengine_check_al_error() {
  const ALenum err = alGetError();
  if (err != AL_NO_ERROR) LOG("ERR AL: %s (0x%x)", sengine_al_error_text(err), err);
}

void sengine_check_alut_error() {
  const ALenum err = alutGetError();
  if (err != ALUT_ERROR_NO_ERROR) LOG("ERR ALUT: %s (0x%x)", alutGetErrorString(err), err);
}
