#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "fresh_sound.h"
#include "kv.h"
#include "log.h"
#include "sengine.h"

namespace {

const char* const SOUNDS = TAVOREK_RUN_DIR "/Sounds";

int count_of(const std::string& text, const std::string& line) {
  int n = 0;
  for (size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) n++;
  return n;
}

std::vector<unsigned char> file_bytes(const std::string& path) {
  std::vector<unsigned char> b;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return b;
  for (int c; (c = fgetc(f)) != EOF;) b.push_back((unsigned char)c);
  fclose(f);
  return b;
}

ALint source_state(ALuint src) {
  ALint s = 0;
  alGetSourcei(src, AL_SOURCE_STATE, &s);
  return s;
}

// The engine up on the null device, with the generated sounds and a settings folder.
struct SengineTest : ::testing::Test {
  std::string log;
  char folder[64] = "/tmp/sengine_testXXXXXX";
  void SetUp() override {
    fresh_sound();
    ASSERT_TRUE(mkdtemp(folder));
    filesPath = folder;
    sengine_dir = SOUNDS;
    testing::internal::CaptureStdout();
    sengine_init();
    log = testing::internal::GetCapturedStdout();
    ASSERT_TRUE(sengine_up) << log;
    const float eye[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, still[3] = {};
    sengine_set_listener(still, eye);
  }
  void TearDown() override {
    fresh_sound();
    ASSERT_EQ(system((std::string("rm -rf ") + folder).c_str()), 0);
  }
  std::string logged(void (*fn)(const char*), const char* text) {
    testing::internal::CaptureStdout();
    fn(text);
    return testing::internal::GetCapturedStdout();
  }
};

// Loading checks every generated file's sizes, so a clean start means they match the table.
TEST_F(SengineTest, StartsUpCleanWithEveryBufferAndVariedVoices) {
  EXPECT_EQ(count_of(log, "ERR "), 0) << log;
  EXPECT_EQ(count_of(log, "with 2 channel(s).\n"), SENGINE_TRACKS);
  EXPECT_EQ(count_of(log, "with 1 channel(s).\n"), SENGINE_FXCOUNT);
  // Voices: fixed pitch in [1, 1.16], not all alike; gains as set.
  std::vector<float> pitches;
  for (int e = 0; e < SENGINE_FXCOUNT; e++)
    for (int v = 0; v < SENGINE_VOICES; v++) {
      ALfloat pitch = 0, maxgain = 0;
      alGetSourcef(sengine_voice_source(e, v), AL_PITCH, &pitch);
      alGetSourcef(sengine_voice_source(e, v), AL_MAX_GAIN, &maxgain);
      EXPECT_TRUE(pitch >= 1.0f && pitch <= 1.16f) << pitch;
      EXPECT_FLOAT_EQ(maxgain, sengine_fx_files[e].maxgain);
      pitches.push_back(pitch);
    }
  std::sort(pitches.begin(), pitches.end());
  EXPECT_GT(std::unique(pitches.begin(), pitches.end()) - pitches.begin(), 8);
}

TEST_F(SengineTest, PlayfxMessagePlaysTheNamedEffectAtItsPosition) {
  EXPECT_EQ(logged(sengine_on_playfx, "playfx nm=stonedrop x=10 y=20 z=1"), "");
  EXPECT_EQ(source_state(sengine_voice_source(7, 0)), AL_PLAYING);
  EXPECT_FLOAT_EQ(sengine_voice_distance(7, 0), 501.0f);
  const std::string longname = "playfx nm=stonedrop" + std::string(300, 'x') + " x=1 y=2 z=3";
  const struct {
    const char *text, *line;
  } refused[] = {
      {"playfx nm=stone x=1 y=2 z=3", "ERR Unknown fx 'stone'\n"},
      {"playfx x=1 y=2 z=3", "ERR Unknown fx ''\n"},
      {"playfx nm= x=1", "ERR Unknown fx ''\n"},
      {longname.c_str(), nullptr},
  };
  for (const auto& r : refused) {
    const std::string out = logged(sengine_on_playfx, r.text);
    EXPECT_EQ(count_of(out, "ERR Unknown fx '"), 1) << r.text;
    EXPECT_EQ(count_of(out, "\n"), 1) << out;
    if (r.line) {
      EXPECT_EQ(out, r.line);
    }
  }
  EXPECT_EQ(source_state(sengine_voice_source(7, 1)), AL_INITIAL);
}

TEST_F(SengineTest, FifthRequestTakesTheFarthestVoiceOrNothing) {
  // Squared distances 100, 900, 400, 900 on the four voices of "waterdrop".
  const float starts[4][3] = {{10, 0, 0}, {0, 30, 0}, {0, 0, 20}, {30, 0, 0}};
  for (const auto& p : starts) EXPECT_TRUE(sengine_play_fx(1, p));
  const struct {
    float p[3];
    bool played;
    int voice;
    float dist;
  } fifth[] = {
      {{0, 50, 0}, false, -1, 0},  // farther than every playing voice
      {{25, 0, 0}, true, 1, 625},  // the farthest, lowest index of the tie
      {{0, 0, 28}, true, 3, 784},  // now voice 3 is the farthest
      {{0, 28, 0}, true, 3, 784},  // ties 784 on voice 3
      {{0, 0, 29}, false, -1, 0},
  };
  for (const auto& f : fifth) {
    float before[SENGINE_VOICES];
    for (int v = 0; v < SENGINE_VOICES; v++) before[v] = sengine_voice_distance(1, v);
    EXPECT_EQ(sengine_play_fx(1, f.p), f.played) << f.p[0] << f.p[1] << f.p[2];
    for (int v = 0; v < SENGINE_VOICES; v++)
      EXPECT_EQ(sengine_voice_distance(1, v), v == f.voice ? f.dist : before[v]) << v;
  }
  // One voice finished: the next request takes it, however far.
  alSourceStop(sengine_voice_source(1, 2));
  const float far[3] = {0, 90, 0};
  EXPECT_TRUE(sengine_play_fx(1, far));
  EXPECT_EQ(sengine_voice_distance(1, 2), 8100.0f);
  for (int v = 0; v < SENGINE_VOICES; v++)
    EXPECT_EQ(source_state(sengine_voice_source(1, v)), AL_PLAYING);
}

TEST_F(SengineTest, MusicSwitchesTracksAndFollowsTheSetting) {
  const ALuint menu = sengine_music_source(1), game = sengine_music_source(0);
  sengine_play_music(1);
  EXPECT_EQ(logged(sengine_on_musicsetting, "musicsetting"), "ERR Already playing music track 1\n");
  EXPECT_EQ(source_state(menu), AL_PLAYING);
  sengine_play_music(0);
  EXPECT_EQ(source_state(menu), AL_STOPPED);
  EXPECT_EQ(source_state(game), AL_PLAYING);
  // Off: the switch stops what plays and "play" starts nothing.
  kv_set("settings_music", 0);
  EXPECT_EQ(logged(sengine_on_musicsetting, "musicsetting"), "");
  EXPECT_EQ(sengine_flags, SENGINE_FX_BIT);
  EXPECT_EQ(source_state(game), AL_STOPPED);
  sengine_play_music(0);
  EXPECT_EQ(sengine_track, -1);
  EXPECT_NE(source_state(game), AL_PLAYING);
  // Out of range reads as the menu shows it: above on, below off; the
  // effects bit stays.
  for (auto [value, on] : {std::pair{7, 1}, std::pair{-3, 0}}) {
    kv_set("settings_music", 0);
    sengine_on_musicsetting("musicsetting");
    kv_set("settings_music", value);
    sengine_on_musicsetting("musicsetting");
    EXPECT_EQ(sengine_flags, on | SENGINE_FX_BIT) << value;
    EXPECT_EQ(sengine_track, on ? 1 : -1) << value;
  }
  kv_set("settings_music", 1);
  sengine_on_musicsetting("musicsetting");
  testing::internal::CaptureStdout();
  for (int bad : {-1, 2}) sengine_play_music(bad);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERR No music track -1\nERR No music track 2\n");
  EXPECT_EQ(sengine_track, 1);
}

TEST_F(SengineTest, ListenerFollowsTheCamera) {
  // Camera at (5, 6, 7) looking down -back; columns side, up, back, eye.
  const float cam[16] = {0, 1, 0, 0, 0, 0, 1, 0, 1, 0, 0, 0, 5, 6, 7, 1}, vel[3] = {1, 2, 3};
  sengine_set_listener(vel, cam);
  ALfloat p[3], v[3], o[6];
  alGetListenerfv(AL_POSITION, p);
  alGetListenerfv(AL_VELOCITY, v);
  alGetListenerfv(AL_ORIENTATION, o);
  using F = std::vector<float>;
  EXPECT_EQ(F(p, p + 3), F(cam + 12, cam + 15));
  EXPECT_EQ(F(v, v + 3), F(vel, vel + 3));
  EXPECT_EQ(F(o, o + 6), F({-1, 0, 0, 0, 0, 1}));
  // The stored distance of an effect is measured from there.
  const float at[3] = {5, 6, 10};
  EXPECT_TRUE(sengine_play_fx(0, at));
  EXPECT_EQ(sengine_voice_distance(0, 0), 9.0f);
}

TEST_F(SengineTest, OpenAlErrorIsReportedOnce) {
  alSourcePlay(0xdeadbeef);
  testing::internal::CaptureStdout();
  sengine_check_al_error();
  sengine_check_al_error();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERR AL: AL_INVALID_NAME (0xa001)\n");
}

TEST(SengineDown, AlutAlreadyUpLeavesTheEngineSilent) {
  ASSERT_TRUE(alutInitWithoutContext(nullptr, nullptr));
  sengine_dir = SOUNDS;
  testing::internal::CaptureStdout();
  sengine_init();
  const float p[3] = {1, 2, 3}, cam[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 4, 4, 1};
  // Down: nothing reaches OpenAL, so no error is reported either.
  EXPECT_FALSE(sengine_play_fx(3, p));
  sengine_on_playfx("playfx nm=graindrop x=1 y=2 z=3");
  sengine_play_music(1);
  sengine_set_listener(p, cam);
  sengine_exit();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(count_of(out, "ERR alutInitWithoutContext() failed.\n"), 1) << out;
  EXPECT_EQ(count_of(out, "ERR "), 1) << out;
  EXPECT_FALSE(sengine_up);
  EXPECT_EQ(sengine_track, -1);
  // freealut keeps the first error until it is read; left, a later load reports it.
  EXPECT_EQ(alutGetError(), ALUT_ERROR_INVALID_OPERATION);
  EXPECT_TRUE(alutExit());
}

// Exit status 7 when the engine stayed down and refused to play.
[[noreturn]] void start_without_device() {
  setenv("ALSOFT_DRIVERS", "no-such-driver", 1);
  sengine_init();
  const float p[3] = {1, 2, 3};
  sengine_play_music(1);
  fflush(stdout);
  exit(sengine_up || sengine_play_fx(0, p) ? 1 : 7);
}

TEST(SengineDown, NoDeviceLeavesTheEngineSilent) {
  // A fresh process, so OpenAL reads the driver list for the first time.
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(start_without_device(), testing::ExitedWithCode(7), "");
}

// The log line of an assertion goes to standard output: move it where death
// tests look. OpenAL and freealut come up as the engine has them when it
// loads, in the forked child only, as OpenAL's mixing thread would not
// survive the fork.
void load_logging_to_stderr(const char* name, int32_t isz, int32_t osz) {
  fflush(stdout);
  dup2(STDERR_FILENO, STDOUT_FILENO);
  alcMakeContextCurrent(alcCreateContext(alcOpenDevice(nullptr), nullptr));
  alutInitWithoutContext(nullptr, nullptr);
  sengine_load_buffer(name, isz, osz);
}

// What a bad file's death prints: one ERR line, the loader's assertion of what.
class OneAssertLine : public testing::MatcherInterface<const std::string&> {
 public:
  explicit OneAssertLine(std::string what) : what_(std::move(what)) {}
  bool MatchAndExplain(const std::string& out, testing::MatchResultListener*) const override {
    const size_t at = out.find("ERR ");
    const std::string line = at == std::string::npos ? "" : out.substr(at, out.find('\n', at) - at);
    return count_of(out, "ERR ") == 1 && line.rfind("ERR ASSERT FAILED at ", 0) == 0 &&
           line.find("sengine_load.cpp(") != std::string::npos &&
           line.find("):  " + what_) != std::string::npos;
  }
  void DescribeTo(std::ostream* os) const override {
    *os << "one ERR line, the assertion " << what_;
  }

 private:
  std::string what_;
};

// A folder of sound files the test writes. The deaths fork, so the child
// finds the files and the folder this process made and removes.
struct SengineFiles : ::testing::Test {
  char dir[64] = "/tmp/sengine_filesXXXXXX";
  const char* saved_dir = sengine_dir;
  std::string saved_style = GTEST_FLAG_GET(death_test_style);
  void SetUp() override {
    ASSERT_TRUE(mkdtemp(dir));
    sengine_dir = dir;
    GTEST_FLAG_SET(death_test_style, "fast");
  }
  void TearDown() override {
    GTEST_FLAG_SET(death_test_style, saved_style);
    sengine_dir = saved_dir;
    ASSERT_EQ(system((std::string("rm -rf ") + dir).c_str()), 0);
  }
};

std::vector<unsigned char> packed(const std::vector<unsigned char>& image) {
  std::vector<unsigned char> out(compressBound(image.size()));
  uLongf sz = out.size();
  EXPECT_EQ(compress(out.data(), &sz, image.data(), image.size()), Z_OK);
  out.resize(sz);
  return out;
}

// Bad sound files stop at set-up with one line, before a source gets a buffer.
TEST_F(SengineFiles, BadFilesAreOneAssertionLine) {
  const std::vector<unsigned char> good = file_bytes(std::string(SOUNDS) + "/fooddrop");
  ASSERT_EQ(good.size(), 47306u);
  std::vector<unsigned char> broken = good, noise(70288);
  for (size_t i = 100; i < 200; i++) broken[i] ^= 0x5a;
  srand(5);
  for (unsigned char& b : noise) b = (unsigned char)rand();
  const std::vector<unsigned char> small = packed(std::vector<unsigned char>(1000, 7)),
                                   garbage = packed(noise);
  const auto unopened = [&](const char* name) {
    return std::string("f / Failed to open '") + dir + "/" + name + "' for reading.";
  };
  const struct {
    const char* name;
    int kind;  // 0 these bytes, 1 a FIFO, 2 no file
    std::vector<unsigned char> bytes;
    int32_t isz, osz;
    std::string death;
  } cases[] = {
      {"fifo", 1, {}, 47306, 70288, unopened("fifo")},
      {"missing", 2, {}, 10, 10, unopened("missing")},
      {"short", 0, {good.begin(), good.end() - 1}, 47306, 70288, "numread == isz"},
      {"long", 0,
       [&] {
         auto b = good;
         b.push_back(0);
         return b;
       }(),
       47306, 70288, "numread == isz"},
      {"corrupt", 0, broken, 47306, 70288, "rv == Z_OK"},
      {"larger", 0, good, 47306, 70287, "rv == Z_OK"},
      {"smaller", 0, small, (int32_t)small.size(), 1001, "dstsz == osz"},
      {"garbage", 0, garbage, (int32_t)garbage.size(), 70288,
       "alIsBuffer( buf ) / ALUT: Unsupported file type"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = std::string(dir) + "/" + c.name;
    if (c.kind == 1) {
      ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    }
    if (c.kind == 0) {
      FILE* f = fopen(path.c_str(), "wb");
      ASSERT_TRUE(f);
      fwrite(c.bytes.data(), 1, c.bytes.size(), f);
      fclose(f);
    }
    EXPECT_DEATH(load_logging_to_stderr(c.name, c.isz, c.osz),
                 testing::MakeMatcher(new OneAssertLine(c.death)));
  }
}

}  // namespace
