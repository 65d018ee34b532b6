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
// Logs the failure, calls the hook and stops the program.
void log_assert_failed(const char* expr, const char* file, int line);

#define LOG(...) log_line(__VA_ARGS__)

// Never continues past a failed condition, whatever NDEBUG says.
#define ASSERT(c)                                            \
  do {                                                       \
    if (!(c)) {                                              \
      log_assert_failed(#c, __FILE__, __LINE__);             \
      if (!(c)) abort();                                     \
    }                                                        \
  } while (0)
