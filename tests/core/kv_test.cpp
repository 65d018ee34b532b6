#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "fresh_core.h"
#include "kv.h"
#include "log.h"

namespace {

struct KvTest : ::testing::Test {
  char dir[64] = "/tmp/kv_testXXXXXX";

  void SetUp() override {
    fresh_core();
    ASSERT_NE(mkdtemp(dir), nullptr);
    filesPath = dir;
  }
  void TearDown() override {
    fresh_core();
    std::string cmd = std::string("rm -rf ") + dir;
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  std::string path(const char* key) { return std::string(dir) + "/." + key; }
  void write_raw(const char* key, const char* content) {
    FILE* f = fopen(path(key).c_str(), "w");
    ASSERT_NE(f, nullptr);
    fputs(content, f);
    fclose(f);
  }
  std::string read_raw(const char* key) {
    FILE* f = fopen(path(key).c_str(), "r");
    if (!f) return "<missing>";
    char buf[64] = {};
    size_t n = fread(buf, 1, sizeof buf - 1, f);
    fclose(f);
    return std::string(buf, n);
  }
};

TEST_F(KvTest, RoundTripWritesBareDecimal) {
  kv_set("settings_music", -3);
  EXPECT_EQ(read_raw("settings_music"), "-3");
  EXPECT_EQ(kv_get("settings_music", 1), -3);
  kv_set("settings_music", 2147483647);
  EXPECT_EQ(kv_get("settings_music", 1), 2147483647);
  kv_set("settings_music", 0);  // rewritten, not appended
  EXPECT_EQ(read_raw("settings_music"), "0");
  EXPECT_EQ(kv_get("settings_music", 1), 0);
}

TEST_F(KvTest, MissingOrEmptyGivesDefault) {
  EXPECT_EQ(kv_get("settings_difficulty", 1), 1);
  EXPECT_EQ(kv_get("settings_difficulty", -7), -7);
  EXPECT_EQ(read_raw("settings_difficulty"), "<missing>");  // reading creates nothing
  write_raw("settings_emote", "");
  EXPECT_EQ(kv_get("settings_emote", 5), 5);
}

TEST_F(KvTest, ContentIsReadAsLeadingDecimal) {
  write_raw("k", "7abc");
  EXPECT_EQ(kv_get("k", 1), 7);
  write_raw("k", "word");
  EXPECT_EQ(kv_get("k", 1), 0);
  write_raw("k", "  -12\n99\n");
  EXPECT_EQ(kv_get("k", 1), -12);
  write_raw("k", "\n5");  // only the first line counts
  EXPECT_EQ(kv_get("k", 1), 0);
  write_raw("k", "99999999999");
  EXPECT_EQ(kv_get("k", 1), 2147483647);
}

// A folder or a FIFO under a key file's name: one ERR line each way, the
// default read back, and never a wait (the alarm ends a hung open).
TEST_F(KvTest, KeyFileThatIsNoRegularFileCostsOneLineEachWay) {
  struct Case {
    const char* what;
    int (*make)(const char* path);
  };
  const Case cases[] = {
      {"folder", [](const char* p) { return mkdir(p, 0755); }},
      {"fifo", [](const char* p) { return mkfifo(p, 0644); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_EQ(c.make(path(c.what).c_str()), 0);
    alarm(20);
    testing::internal::CaptureStdout();
    kv_set(c.what, 4);
    std::string set_log = testing::internal::GetCapturedStdout();
    testing::internal::CaptureStdout();
    EXPECT_EQ(kv_get(c.what, 9), 9);
    std::string get_log = testing::internal::GetCapturedStdout();
    alarm(0);
    EXPECT_EQ(set_log, "ERR Cannot write key-value pair to '" + path(c.what) + "'\n");
    EXPECT_EQ(get_log,
              "ERR Cannot read key-value pair from '" + path(c.what) + "': not a regular file\n");
  }
}

// A session that may not write stores nothing and says so once.
TEST_F(KvTest, ASecondCopyStoresNoSettingAndSaysSoOnce) {
  userdir_refuse(USERDIR_NOT_OWNER);
  testing::internal::CaptureStdout();
  kv_set("settings_music", 0);
  kv_set("settings_difficulty", 2);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERR Settings are not stored this session: another copy of the game is using the "
            "user data folder.\n");
  EXPECT_EQ(read_raw("settings_music"), "<missing>");
}

// Death tests match standard error; log lines go to standard output.
void log_to_stderr() { dup2(2, 1); }

// Not in the fixture: the death test's child runs the set-up again and would
// leave its temporary folder behind.
// A setting that cannot be stored costs one line, never the game.
TEST(KvStop, UnwritableFileLogsOneLineAndGoesOn) {
  const char* saved = filesPath;
  filesPath = "/nonexistent_dir_for_kv_test";
  testing::internal::CaptureStdout();
  kv_set("settings_music", 1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "ERR Cannot write key-value pair to '/nonexistent_dir_for_kv_test/.settings_music'\n");
  filesPath = saved;
}

TEST(KvStop, NoFilesPathStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const char* saved = filesPath;
  filesPath = nullptr;
  EXPECT_DEATH((log_to_stderr(), kv_get("settings_music", 1)),
               "ERR ASSERT FAILED at .*kv\\.cpp\\([0-9]+\\):  filesPath\n");
  filesPath = saved;
}

}  // namespace
