// Log lines and the assertion macro shared by every module.
#pragma once
#include <cstdio>
#include <cstdlib>

typedef void (*assert_hook_fn)(const char* expr, const char* file, int line);

extern const char* filesPath;    // user data folder, no trailing separator; null until set
extern FILE* log_file;           // null: log lines go to standard output only
extern assert_hook_fn assert_hook;

// One log line: to standard output and, when open, to the log file.
void log_line(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// Logs the failure (flushed, so the hook can show it) and calls the hook.
void log_assert_failed(const char* expr, const char* file, int line);
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
