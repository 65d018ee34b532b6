#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "log.h"

#define LOG_TEST_LIMIT 3

namespace {

std::string file_text(FILE* f) {
  fflush(f);
  char buf[512];
  const ssize_t n = pread(fileno(f), buf, sizeof buf, 0);
  return n > 0 ? std::string(buf, n) : std::string();
}

struct LogTest : ::testing::Test {
  FILE* saved_file = nullptr;
  assert_hook_fn saved_hook = nullptr;
  void SetUp() override {
    saved_file = log_file;
    saved_hook = assert_hook;
  }
  void TearDown() override {
    if (log_file && log_file != saved_file) fclose(log_file);
    log_file = saved_file;
    assert_hook = saved_hook;
  }
};

TEST_F(LogTest, LineGoesToStdoutWithoutLogFile) {
  log_file = nullptr;
  testing::internal::CaptureStdout();
  LOG("Loaded %d textures", 12);
  LOG("ERR Cannot open '%s'", "a b");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Loaded 12 textures\nERR Cannot open 'a b'\n");
}

TEST_F(LogTest, LineGoesToStdoutAndLogFile) {
  log_file = tmpfile();
  ASSERT_NE(log_file, nullptr);
  testing::internal::CaptureStdout();
  LOG("frame %.2f", 0.5);
  LOG("%s", "100% done");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "frame 0.50\n100% done\n");
  EXPECT_EQ(file_text(log_file), "frame 0.50\n100% done\n");
}

// Log files in a folder of their own; stdout is caught so lines stay out of the run's output.
struct LogFiles : LogTest {
  std::string dir;
  void SetUp() override {
    LogTest::SetUp();
    char tmpl[] = "/tmp/logtestXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
    testing::internal::CaptureStdout();
  }
  void TearDown() override {
    testing::internal::GetCapturedStdout();
    LogTest::TearDown();
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
  }
  std::string path(const char* name) const { return dir + "/" + name; }
  std::string text(const char* name) const {
    std::stringstream s;
    s << std::ifstream(path(name)).rdbuf();
    return s.str();
  }
  // One start of the game: the log opened, a line, and the file closed as the process end closes
  // it.
  void run(const char* line) {
    ASSERT_TRUE(log_open(path("log.txt").c_str(), path("log-previous.txt").c_str()));
    LOG("%s", line);
    fclose(log_file);
    log_file = nullptr;
  }
};

TEST_F(LogFiles, EachStartKeepsTheRunBeforeIt) {
  run("first run");
  EXPECT_EQ(text("log.txt"), "first run\n");
  EXPECT_FALSE(std::ifstream(path("log-previous.txt")).good());
  run("second run");
  run("third run");
  EXPECT_EQ(text("log.txt"), "third run\n");
  EXPECT_EQ(text("log-previous.txt"), "second run\n");
}

// A crash the guard does not catch ends the process without flushing anything.
TEST_F(LogFiles, EveryLineIsInTheFileAsSoonAsItIsLogged) {
  ASSERT_TRUE(log_open(path("log.txt").c_str(), path("log-previous.txt").c_str()));
  std::string want;
  for (int i = 0; i < 200; i++) {
    LOG("line %d of a start-up that ends in a crash", i);
    want += "line " + std::to_string(i) + " of a start-up that ends in a crash\n";
  }
  EXPECT_EQ(text("log.txt"), want);
}

struct HookCall {
  int calls;
  std::string expr, file;
  int line;
  std::string log_seen;
};
HookCall hook_call;
int limit_counter;

// Mends the condition, so the assertion lets the program go on.
void mending_hook(const char* expr, const char* file, int line) {
  hook_call.calls++;
  hook_call.expr = expr;
  hook_call.file = file;
  hook_call.line = line;
  hook_call.log_seen = file_text(log_file);
  limit_counter = 0;
}

TEST_F(LogTest, HookGetsConditionAsWrittenAfterTheLogLine) {
  log_file = tmpfile();
  assert_hook = mending_hook;
  hook_call = HookCall{};
  limit_counter = 5;
  testing::internal::CaptureStdout();
  ASSERT(limit_counter < LOG_TEST_LIMIT);
  const int line = __LINE__ - 1;
  ASSERT(limit_counter < LOG_TEST_LIMIT);  // holds now: silent
  const std::string out = testing::internal::GetCapturedStdout();
  const std::string want = "ERR ASSERT FAILED at " + std::string(__FILE__) + "(" +
                           std::to_string(line) + "):  limit_counter < LOG_TEST_LIMIT\n";
  EXPECT_EQ(out, want);
  EXPECT_EQ(hook_call.calls, 1);
  EXPECT_EQ(hook_call.expr, "limit_counter < LOG_TEST_LIMIT");
  EXPECT_EQ(hook_call.file, __FILE__);
  EXPECT_EQ(hook_call.line, line);
  EXPECT_EQ(hook_call.log_seen, want);
}

// Reports on standard error what the log had when the hook ran.
void reporting_hook(const char* expr, const char* file, int line) {
  char buf[256] = {};
  const ssize_t n = pread(STDOUT_FILENO, buf, sizeof buf - 1, 0);  // no flush of our own
  fprintf(stderr, "hook stdout [%s]\n", n > 0 ? buf : "");
  fprintf(stderr, "hook log [%s]\n", file_text(log_file).c_str());
}

void fail_assert() {
  fflush(stdout);  // what the test runner printed is not ours
  FILE* out = tmpfile();
  dup2(fileno(out), STDOUT_FILENO);
  log_file = tmpfile();
  assert_hook = reporting_hook;
  const int never = 7;
  ASSERT(never < LOG_TEST_LIMIT);
  fprintf(stderr, "went on past the assertion\n");
}

TEST_F(LogTest, FailedAssertionLogsCallsHookAndStops) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const std::string logged =
      "ERR ASSERT FAILED at [^ ]*log_test\\.cpp\\([0-9]+\\):  never < LOG_TEST_LIMIT\n";
  EXPECT_DEATH(fail_assert(), "hook stdout \\[" + logged + "\\]\nhook log \\[" + logged +
                                  "\\]\n.*Assertion `never < 3' failed");
}

}  // namespace
