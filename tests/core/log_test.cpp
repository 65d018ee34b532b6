#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "fresh_core.h"
#include "log.h"

#define LOG_TEST_LIMIT 3

namespace {

std::string file_text(FILE* f) {
  fflush(f);
  char buf[512];
  const ssize_t n = pread(fileno(f), buf, sizeof buf, 0);
  return n > 0 ? std::string(buf, n) : std::string();
}

// A test's log file and hook go with it.
struct LogTest : ::testing::Test {
  void SetUp() override { fresh_core(); }
  void TearDown() override { fresh_core(); }
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

// Each start keeps the last run's log; every line is on disk at once (a crash
// flushes nothing), the ERR lines logged before it opened first, as many as fit.
TEST_F(LogTest, EachStartKeepsTheRunBeforeItAndEveryLineIsOnDiskAtOnce) {
  char tmpl[] = "/tmp/logtestXXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  const std::string dir = tmpl, log = dir + "/log.txt", previous = dir + "/log-previous.txt";
  const auto text = [](const std::string& path) {
    std::stringstream s;
    s << std::ifstream(path).rdbuf();
    return s.str();
  };
  testing::internal::CaptureStdout();
  std::string last;
  for (int run = 1; run <= 3; run++) {
    SCOPED_TRACE(run);
    LOG("Not kept: no log file yet");
    LOG("ERR run %d, before the log", run);
    std::string want = "ERR run " + std::to_string(run) + ", before the log\n";
    for (int i = 0; run == 3 && i < 1000; i++) LOG("ERR %s", std::string(95, 'x').c_str());
    ASSERT_TRUE(log_open(log.c_str(), previous.c_str()));
    EXPECT_EQ(std::ifstream(previous).good(), run > 1);
    EXPECT_EQ(text(previous), last);
    EXPECT_EQ(text(log).compare(0, want.size(), want), 0);
    const std::string lost = "ERR 919 lines written before the log file opened are not here.\n";
    EXPECT_EQ(text(log).find(lost) != std::string::npos, run == 3);
    want = text(log);
    for (int i = 0; i < 50; i++) {
      LOG("run %d, line %d", run, i);
      want += "run " + std::to_string(run) + ", line " + std::to_string(i) + "\n";
      EXPECT_EQ(text(log), want);
    }
    fclose(log_file);  // as the process end closes it
    log_file = nullptr;
    last = want;
  }
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0);
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
