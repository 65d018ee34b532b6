#include "log.h"

#include <cstdarg>

const char* filesPath = nullptr;
FILE* log_file = nullptr;
assert_hook_fn assert_hook = nullptr;

void log_line(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vfprintf(stdout, fmt, ap);
  va_end(ap);
  fputs("\n", stdout);
  if (log_file) {
    va_start(ap, fmt);
    vfprintf(log_file, fmt, ap);
    va_end(ap);
    fputs("\n", log_file);
  }
}

void log_assert_failed(const char* expr, const char* file, int line) {
  LOG("ERR ASSERT FAILED at %s(%d):  %s", file, line, expr);
  fflush(stdout);
  if (log_file) fflush(log_file);
  if (assert_hook) assert_hook(expr, file, line);
}

void log_assert_stop(const char* expanded_expr, const char* file, int line) {
  fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", file, line, expanded_expr);
  abort();
}
