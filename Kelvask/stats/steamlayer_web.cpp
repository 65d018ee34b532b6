// Web pages of the desktop layer: the game's own pages are written into the
// user data folder and handed, like any address, to the desktop's opener.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "steamlayer_store.h"
#include "userdir.h"

extern char** environ;

#define OPENERS 8

static const char GUIDE_TEXT[] =
    "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Tavorek, Ombrelith: player "
    "guide</title></head>\n<body>\n<h1>Tavorek, Ombrelith</h1>\n"
    "<p>Your workers build a stepped pyramid of seven layers of sandstone blocks. Mark the next "
    "layer's cells and builders carry blocks from the stock to the marks. The game is won when "
    "all seven layers stand, and lost when too many workers die of exhaustion.</p>\n"
    "<h2>The production chain</h2>\n<ul>\n"
    "<li>Irrigation workers carry water in buckets from the water's edge to the farm fields "
    "(20 silver each).</li>\n"
    "<li>Field workers carry the harvested grain to a bakery (100 silver).</li>\n"
    "<li>Household servants carry the food on plates to the huts and to a tax office, where each "
    "delivery turns into 2 silver (a further tax office costs 300 silver).</li>\n"
    "<li>Tired workers rest in a hut (32 silver) for 12 seconds and leave only after a portion of "
    "the hut's food: keep food flowing to the huts.</li>\n</ul>\n"
    "<p>Silver pays for buildings and for hiring more workers of each trade.</p>\n"
    "<h2>Controls</h2>\n<ul>\n"
    "<li>Left drag: move the view. Right drag: orbit and climb. Middle drag or the wheel: "
    "zoom.</li>\n<li>Escape: close what is open, or open the menu. Alt+Return: toggle "
    "fullscreen.</li>\n</ul>\n</body></html>\n";

static pid_t opener[OPENERS];
static int opener_count;

void steamlayer_reap_openers() {
  for (int i = 0; i < opener_count;) {
    if (waitpid(opener[i], nullptr, WNOHANG) == 0) {
      i++;
      continue;
    }
    opener[i] = opener[--opener_count];
  }
}

static bool has_display() {
  const char* x = getenv("DISPLAY");
  const char* w = getenv("WAYLAND_DISPLAY");
  return (x && x[0]) || (w && w[0]);
}

// The file:// address of one of our own pages, written afresh.
static bool own_page(const char* name, char* url, int size) {
  char path[STEAMLAYER_PATH_SZ];
  if (strcmp(name, STEAMLAYER_GUIDE_PAGE) != 0) {
    LOG("ERR No web page named '%s'.", name);
    return false;
  }
  if (!steamlayer_folder_file(name, path, sizeof path)) {
    LOG("ERR No user data folder for the web page %s.", name);
    return false;
  }
  // A session that may not write opens the page an earlier one left.
  const bool left = !userdir_writable() && access(path, R_OK) == 0;
  if (!left && !steamlayer_write_file(path, GUIDE_TEXT, (int)sizeof GUIDE_TEXT - 1)) return false;
  const int n = snprintf(url, size, "file://%s", path);
  return n > 0 && n < size;
}

bool steamlayer_open_web_page(steamlayer_friendsif* friends, const char* address) {
  if (!friends || friends != steamlayer_friends_interface() || !address) return false;
  char url[STEAMLAYER_PATH_SZ + 8];
  if (strstr(address, "://")) {
    snprintf(url, sizeof url, "%s", address);
  } else if (!own_page(address, url, sizeof url)) {
    return false;
  }
  if (!has_display()) {
    LOG("No display to open the web page on; it is at %s", url);
    return false;
  }
  steamlayer_reap_openers();
  if (opener_count >= OPENERS) {
    LOG("ERR Too many web pages opening at once; the page is at %s", url);
    return false;
  }
  char prog[] = "xdg-open";
  char* argv[] = {prog, url, nullptr};
  // The game ignores SIGPIPE; the opener gets the default back.
  posix_spawnattr_t attr;
  sigset_t pipe;
  posix_spawnattr_init(&attr);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigdefault(&attr, &pipe);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);
  pid_t pid;
  const int err = posix_spawnp(&pid, prog, nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  if (err != 0) {
    LOG("ERR Could not start xdg-open (%s); the web page is at %s", strerror(err), url);
    return false;
  }
  opener[opener_count++] = pid;
  LOG("Opening the web page %s", url);
  return true;
}
