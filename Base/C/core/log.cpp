#include "log.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include "regfile.h"

const char* filesPath = nullptr;
FILE* log_file = nullptr;
assert_hook_fn assert_hook = nullptr;

// ERR lines written while no log file is open, kept for the one that opens
// next (start-up logs its first lines before it knows the folder); those that
// do not fit are counted.
#define LOG_EARLY_SZ 8192
static char early[LOG_EARLY_SZ];
static int early_len, early_lost;

static void keep_early(const char* fmt, va_list ap) {
  char line[1024];  // longer lines are cut
  vsnprintf(line, sizeof line, fmt, ap);
  if (strncmp(line, "ERR ", 4) != 0) return;
  const int n = (int)strlen(line);
  if (early_len + n + 1 > LOG_EARLY_SZ) {
    early_lost++;
    return;
  }
  memcpy(early + early_len, line, n);
  early_len += n;
  early[early_len++] = '\n';
}

// Set once standard output's reader has gone (a closed pipe): the lines go
// on to the log file alone.
static bool stdout_gone;

void log_line(const char* fmt, ...) {
  va_list ap;
  if (!stdout_gone) {
    va_start(ap, fmt);
    vfprintf(stdout, fmt, ap);
    va_end(ap);
    fputs("\n", stdout);
    stdout_gone = fflush(stdout) != 0 && (errno == EPIPE || errno == EBADF);
  }
  va_start(ap, fmt);
  if (log_file) {
    vfprintf(log_file, fmt, ap);
    fputs("\n", log_file);
    fflush(log_file);
  } else {
    keep_early(fmt, ap);
  }
  va_end(ap);
}

bool log_open(const char* path, const char* previous) {
  // rename moves a link itself, never its target; a first start has nothing to keep.
  const bool kept =
      regfile_is_other(path, REGFILE_NOFOLLOW) || rename(path, previous) == 0 || errno == ENOENT;
  const int err = kept ? 0 : errno;
  log_file = regfile_open(path, "w");
  if (log_file) {
    fwrite(early, 1, early_len, log_file);
    fflush(log_file);
    if (early_lost)
      LOG("ERR %d lines written before the log file opened are not here.", early_lost);
    early_len = early_lost = 0;
  }
  if (!kept) LOG("ERR Could not keep the previous log as %s: %s", previous, strerror(err));
  return log_file != nullptr;
}

void log_reset() {
  if (log_file) fclose(log_file);
  log_file = nullptr;
  early_len = early_lost = 0;
  filesPath = nullptr;
  assert_hook = nullptr;
  stdout_gone = false;
}

void log_assert_failed(const char* expr, const char* file, int line) {
  LOG("ERR ASSERT FAILED at %s(%d):  %s", file, line, expr);
  if (assert_hook) assert_hook(expr, file, line);
}

void log_assert_stop(const char* expanded_expr, const char* file, int line) {
  fprintf(stderr, "%s:%d: Assertion `%s' failed.\n", file, line, expanded_expr);
  abort();
}
