#include "steamlayer.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define STEAMLAYER_APP "tavorek"

static bool steamlayer_up;

bool steamlayer_init() {
  steamlayer_up = true;
  return true;
}

bool steamlayer_user() { return steamlayer_up && getpwuid(getuid()) != nullptr; }

// Creates every missing directory of path; true when path ends up a writable directory.
static bool make_dirs(char* path) {
  for (char* p = path + 1; *p; p++) {
    if (*p != '/') continue;
    *p = '\0';
    const bool ok = mkdir(path, 0700) == 0 || errno == EEXIST;
    *p = '/';
    if (!ok) return false;
  }
  if (mkdir(path, 0700) != 0 && errno != EEXIST) return false;
  struct stat st;
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode) && access(path, W_OK | X_OK) == 0;
}

bool steamlayer_user_data_folder(char* out, int size) {
  if (!steamlayer_up || size <= 0) return false;
  out[0] = '\0';
  // XDG ignores an empty or relative XDG_DATA_HOME.
  const char* xdg = getenv("XDG_DATA_HOME");
  const char* home = getenv("HOME");
  int n;
  if (xdg && xdg[0] == '/')
    n = snprintf(out, size, "%s/%s", xdg, STEAMLAYER_APP);
  else if (home && home[0] == '/')
    n = snprintf(out, size, "%s/.local/share/%s", home, STEAMLAYER_APP);
  else
    return false;
  if (n < 0 || n >= size) {
    out[0] = '\0';
    return false;
  }
  // Doubled separators from a base that ends in '/' would confuse make_dirs.
  char* w = out;
  for (const char* r = out; *r; r++)
    if (!(*r == '/' && w > out && w[-1] == '/')) *w++ = *r;
  *w = '\0';
  if (make_dirs(out)) return true;
  out[0] = '\0';
  return false;
}

void steamlayer_run_callbacks() {
  // Nothing asynchronous is offered yet, so nothing can be pending.
}

void steamlayer_shutdown() { steamlayer_up = false; }
