// Log lines and the assertion macro shared by every module.
#pragma once
#include <cstdio>
#include <cstdlib>

typedef void (*assert_hook_fn)(const char* expr, const char* file, int line);

extern const char* filesPath;  // user data folder, no trailing separator; null until set
extern FILE* log_file;         // null: log lines go to standard output only
extern assert_hook_fn assert_hook;

// One log line: to standard output and, when open, to the log file, each
// flushed at once, so that a crash the guard cannot catch still leaves every
// line before it. Once standard output is a pipe nobody reads (the process
// ignores SIGPIPE), lines go to the log file alone.
void log_line(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Opens path as the log file after renaming the last run's log to previous,
// the only record of a crash in that run, and writes to it first the ERR
// lines logged while no log file was open. Neither name follows a symbolic
// link; anything but a regular file at path is refused (false, with the
// reason for regfile_reason) and lines go to standard output only.
bool log_open(const char* path, const char* previous);
// Logs the failure (on disk before the hook shows it) and calls the hook.
void log_assert_failed(const char* expr, const char* file, int line);
// A fresh process's log: the log file closed, no folder, no hook, standard
// output written again.
void log_reset();
// The runtime's assertion report on standard error, then abort.
[[noreturn]] void log_assert_stop(const char* expanded_expr, const char* file, int line);

#define LOG(...) log_line(__VA_ARGS__)

#define LOG_EXPANDED_TEXT_(c) #c
#define LOG_EXPANDED_TEXT(c) LOG_EXPANDED_TEXT_(c)

// The log line shows the condition as written, the stop report with its macros
// expanded. The condition is checked again after the hook; whatever NDEBUG says,
// a condition that still fails never continues.
#define ASSERT(c)                                                          \
  do {                                                                     \
    if (!(c)) {                                                            \
      log_assert_failed(#c, __FILE__, __LINE__);                           \
      if (!(c)) log_assert_stop(LOG_EXPANDED_TEXT(c), __FILE__, __LINE__); \
    }                                                                      \
  } while (0)
