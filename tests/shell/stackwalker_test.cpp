// The crash log: the walker's output policy and line formats, and real faults
// inside and outside the guard, each in a process of its own.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "fresh_shell.h"
#include "log.h"
#include "stackwalker.h"
#include "stackwalker_guard.h"
#include "stats_folder.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define SANITIZED 1
#endif
#endif

namespace {

// Drives the policy with frames of our own making.
struct ScriptedWalker : MyStackWalker {
  ScriptedWalker() : MyStackWalker(getpid()) {}
  void Frame(const char* file, int line, const char* function, uint64_t pc = 0x1000) {
    stackwalker_frame f = {};
    f.pc = pc;
    snprintf(f.file, sizeof f.file, "%s", file);
    snprintf(f.name, sizeof f.name, "%s", function);
    f.line = line;
    ReportFrame(STACKWALKER_NEXT, &f);
  }
  void Error(const char* name) { ReportHelpError(name, 0, 0x10); }
};

struct CrashText : ::testing::Test, CaughtLog {
  void SetUp() override {
    fresh_shell();
    catch_lines();
  }
  void TearDown() override {
    release();
    fresh_shell();
  }
};

TEST_F(CrashText, FramesGoToTheTextAndTheLogUntilTheFirstError) {
  ScriptedWalker w;
  w.Frame("a.cpp", 10, "alpha");
  w.Frame("b.cpp", 20, "beta %s%n");  // a name is text, never a format
  w.Frame("", 0, "gamma", 0xabc);
  w.Error("SymGetLineFromAddr64");
  w.Frame("d.cpp", 40, "delta");
  const std::string want =
      "a.cpp (10): alpha\nb.cpp (20): beta %s%n\n0xabc ((module-name not available)): (filename "
      "not available): gamma\n";
  EXPECT_EQ(std::string(stackwalker_crash_text), want);
  EXPECT_EQ(stackwalker_crash_len, (int)want.size());
  // Each line ends in its own line feed, which leaves an empty line in the log.
  EXPECT_EQ(log(),
            "a.cpp (10): alpha\n\nb.cpp (20): beta %s%n\n\n0xabc ((module-name not available)): "
            "(filename not available): gamma\n\n");
  EXPECT_TRUE(stackwalker_error_seen);
}

TEST_F(CrashText, CrashTextStopsAt4095AndCountsOnlyWhatItHolds) {
  ScriptedWalker w;
  const std::string file(900, 'f');
  for (int i = 0; i < 6; i++) w.Frame(file.c_str(), i, "fn");
  EXPECT_EQ(strlen(stackwalker_crash_text), 4095u);
  EXPECT_EQ(stackwalker_crash_len, 4095);
  const std::string text = log();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);  // the log gets every line
}

TEST(StackwalkerSnprintf, BoundedByTheBufferGiven) {
  char small[8];
  EXPECT_EQ(stackwalker_snprintf(small, sizeof small, "%s", "0123456789"), 7);
  EXPECT_STREQ(small, "0123456");
  char big[1100];
  const std::string s(1050, 'x');
  EXPECT_EQ(stackwalker_snprintf(big, sizeof big, "%s", s.c_str()), 1050);
  EXPECT_EQ(stackwalker_snprintf(big, 0, "x"), -1);
}

volatile int frame_sink;
__attribute__((noinline)) void same_frame() {
  frame_sink = 1;
  frame_sink = 2;
}

TEST_F(CrashText, EndlessRecursionIsCutAfterTheLimit) {
  ScriptedWalker w;
  static uintptr_t pcs[1200];
  for (uintptr_t& pc : pcs) pc = (uintptr_t)&same_frame + 1;
  w.WalkFrames(pcs, 1200, false);
  EXPECT_TRUE(stackwalker_error_seen);
  // The 1001st frame equal to its return address ends the walk unreported.
  std::istringstream in(log());
  int lines = 0;
  for (std::string l; std::getline(in, l);) lines += l.find("same_frame") != std::string::npos;
  EXPECT_EQ(lines, 1000);
}

TEST(ExceptionCode, SignalsMapToTheCodesTheLogNames) {
  struct Case {
    int sig, code;
    uintptr_t addr, sp;
    uint32_t want;
  } cases[] = {
      {SIGSEGV, SEGV_MAPERR, 0, 0x7fff0000, 0xc0000005u},
      {SIGSEGV, SEGV_MAPERR, 0x7ffefff8, 0x7fff0000, 0xc00000fdu},  // the stack ran out
      {SIGSEGV, SI_USER, 0x7fff0000, 0x7fff0000, 0xc0000005u},
      {SIGFPE, FPE_INTDIV, 0, 0, 0xc0000094u},
      {SIGFPE, FPE_FLTINV, 0, 0, 0xc0000090u},
      {SIGILL, ILL_ILLOPN, 0, 0, 0xc000001du},
      {SIGBUS, BUS_ADRALN, 0, 0, 0x80000002u},
      {SIGBUS, BUS_ADRERR, 0, 0, 0xc0000006u},
  };
  for (const Case& c : cases)
    EXPECT_EQ(stackwalker_exception_code(c.sig, c.code, c.addr, c.sp), c.want) << c.sig;
}

#ifndef SANITIZED

__attribute__((noinline)) void fault_null_write() {
  volatile int* volatile p = nullptr;
  *p = 1;
}
__attribute__((noinline)) void fault_divide() {
  // A numerator of 1 would let the compiler compare instead of divide.
  volatile int zero = 0, seven = 7;
  volatile int x = seven / zero;
  (void)x;
}
volatile int depth_sink;
#pragma GCC diagnostic ignored "-Winfinite-recursion"
__attribute__((noinline)) int fault_recurse(int n) {
  volatile char pad[128];
  pad[0] = (char)n;
  depth_sink = n;
  return fault_recurse(n + 1) + pad[0];
}
void fault_recursion() { fault_recurse(0); }
// The log file itself is broken: the handler faults while logging.
void fault_in_handler() {
  log_file = (FILE*)(uintptr_t)0x10;
  fault_null_write();
}

// Another thread holds the standard output: the handler's first log line waits.
void fault_with_stdout_held() {
  stackwalker_watchdog_seconds = 1;
  std::thread([] {
    flockfile(stdout);
    pause();
  }).detach();
  usleep(100000);
  fault_null_write();
}

TEST(CrashGuard, FaultsEndWithATraceAndStatusOneInsideTheGuardAndByTheirSignalOutside) {
  // A forked child: it keeps the parent's pid, so both name the same log file.
  GTEST_FLAG_SET(death_test_style, "fast");
  using ::testing::ExitedWithCode;
  using ::testing::KilledBySignal;
  const struct {
    const char* name;
    void (*fault)();
    bool inside;
    std::function<bool(int)> ends;
    const char* message;
    const char* code = nullptr;      // of the trace in the log file, if one is looked for
    const char* function = nullptr;  // named in the trace
  } cases[] = {
      {"null write", fault_null_write, true, ExitedWithCode(1), "", "c0000005", "fault_null_write"},
      {"division by zero", fault_divide, true, ExitedWithCode(1), "", "c0000094", "fault_divide"},
      {"runaway recursion", fault_recursion, true, ExitedWithCode(1), "", "c00000fd",
       "fault_recurse"},
      {"fault in handler", fault_in_handler, true, ExitedWithCode(1),
       "A fault inside the crash handler"},
      {"handler hangs", fault_with_stdout_held, true, ExitedWithCode(1), "took too long"},
      {"null write outside", fault_null_write, false, KilledBySignal(SIGSEGV), ""},
      {"division outside", fault_divide, false, KilledBySignal(SIGFPE), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = "/tmp/stackwalker_test_" + std::to_string(getpid()) + ".txt";
    unlink(path.c_str());
    EXPECT_EXIT(
        {
          // Inside the guard the handler writes the trace and ends the process with status 1.
          if (c.code) log_file = fopen(path.c_str(), "w");
          stackwalker_guard_install();
          if (c.inside) stackwalker_guard_enter();
          c.fault();
          _exit(0);
        },
        c.ends, c.message);
    if (!c.code) continue;
    const std::string text = read_file(path);
    const std::string head =
        std::string("ERR =================== STACK FRAME(") + c.code + ") =======================";
    EXPECT_NE(text.find(head), std::string::npos) << text.substr(0, 2000);
    EXPECT_NE(text.find("ERR " + std::string(76, '=')), std::string::npos);
    bool named = false;
    std::istringstream lines(text);
    for (std::string l; std::getline(lines, l);)
      named |= l.find("stackwalker_test.cpp (") != std::string::npos &&
               l.find(c.function) != std::string::npos;
    EXPECT_TRUE(named) << text.substr(0, 2000);
    unlink(path.c_str());
  }
}

#endif

}  // namespace
