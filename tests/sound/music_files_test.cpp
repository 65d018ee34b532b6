#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sengine_files.h"

namespace {

const int WAV_HEADER = 44;

// The track's 16-bit samples, inflated from the generated file.
std::vector<int16_t> samples(const sengine_file& track) {
  const std::string path = std::string(TAVOREK_RUN_DIR "/Sounds/") + track.name;
  std::vector<unsigned char> packed(track.isz), image(track.osz);
  FILE* f = fopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr) << path;
  if (!f) return {};
  const size_t got = fread(packed.data(), 1, packed.size(), f);
  fclose(f);
  uLongf size = image.size();
  EXPECT_EQ(got, packed.size());
  EXPECT_EQ(uncompress(image.data(), &size, packed.data(), got), Z_OK);
  std::vector<int16_t> pcm((image.size() - WAV_HEADER) / 2);
  memcpy(pcm.data(), image.data() + WAV_HEADER, pcm.size() * 2);
  return pcm;
}

// A track starts from its first sample on every switch: both ends fade in
// silence, so no switch and no loop clicks.
TEST(MusicFiles, TracksBeginAndEndInSilence) {
  const int quiet = 33;        // a thousandth of full scale
  const size_t fade = 2 * 44;  // the first and last millisecond, both channels
  for (const sengine_file& track : sengine_music_files) {
    SCOPED_TRACE(track.name);
    const std::vector<int16_t> pcm = samples(track);
    ASSERT_GT(pcm.size(), 4 * fade);
    for (size_t i = 0; i < fade; i++) {
      EXPECT_LE(abs(pcm[i]), quiet * (i < 2 ? 1 : 3)) << "sample " << i;
      EXPECT_LE(abs(pcm[pcm.size() - 1 - i]), quiet * (i < 2 ? 1 : 3)) << "from the end " << i;
    }
  }
}

}  // namespace
