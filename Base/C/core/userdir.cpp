#include "userdir.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "log.h"
#include "regfile.h"

static int state;
static FILE* lock_file;  // open, and locked, while this copy owns the folder

static const char* const WHY[USERDIR_STATES] = {
    "",
    "another copy of the game is using the user data folder",
    "the user data folder cannot be written",
    "the refused saved game could not be kept aside",
    "the lock file of the user data folder cannot be opened",
};

int userdir_state() { return state; }
bool userdir_writable() { return state == USERDIR_WRITABLE; }
const char* userdir_why() { return WHY[state]; }

void userdir_refuse(int why) {
  ASSERT(why > USERDIR_WRITABLE && why < USERDIR_STATES);
  if (state != USERDIR_WRITABLE) return;
  state = why;
  LOG("ERR This session cannot be saved: %s.", WHY[why]);
}

// Errors that say the folder may be read but not written.
static bool read_only(int err) { return err == EROFS || err == EACCES || err == EPERM; }

// Moves path aside as "<path>.rejected-<n>", with one ERR line saying what
// was wrong with it.
static bool move_aside(const char* path, const char* what) {
  char aside[REGFILE_PATH_SZ];
  if (!regfile_move_aside(path, "rejected", aside, sizeof aside)) {
    LOG("ERR %s %s and cannot be moved aside: %s", path, what, strerror(errno));
    return false;
  }
  regfile_sync_folder_of(path);
  LOG("ERR %s %s; moved aside as %s.", path, what, aside);
  return true;
}

// A lock holds on a descriptor opened for reading as well, so another user's
// lock file (left by a start as root) or one without write permission still
// serves; one that cannot be opened at all is replaced. why: what refused
// writing, the likeliest cause when no lock can be had.
static FILE* open_lock(const char* path, const char** why) {
  FILE* f = regfile_open(path, "a");
  *why = regfile_reason();
  if (!f) f = regfile_open(path, "r", REGFILE_NOFOLLOW);
  if (!f && access(path, F_OK) == 0 && move_aside(path, "cannot be opened")) {
    f = regfile_open(path, "a");
    *why = regfile_reason();
  }
  return f;
}

int userdir_claim(const char* folder) {
  // access() sees a read-only mount and the folder's mode; opening a lock
  // file that is already there would not, as it writes nothing to the folder.
  if (access(folder, W_OK | X_OK) != 0 && read_only(errno)) {
    userdir_refuse(USERDIR_READ_ONLY);
    return state;
  }
  char path[REGFILE_PATH_SZ];
  snprintf(path, sizeof path, "%s/%s", folder, USERDIR_LOCK_FILE);
  userdir_clear_odd(path, REGFILE_NOFOLLOW);
  const char* why;
  FILE* f = open_lock(path, &why);
  if (!f) {
    LOG("ERR Cannot open %s: %s; this session cannot be saved.", path, why);
    if (state == USERDIR_WRITABLE) state = USERDIR_NO_LOCK;
    return state;
  }
  if (flock(fileno(f), LOCK_EX | LOCK_NB) != 0) {
    const int err = errno;
    fclose(f);
    if (err == EWOULDBLOCK) {
      userdir_refuse(USERDIR_NOT_OWNER);
      return state;
    }
    // A file system without locks: nothing tells two copies apart there.
    LOG("ERR Cannot lock %s: %s", path, strerror(err));
    return state;
  }
  if (lock_file) fclose(lock_file);
  lock_file = f;
  return state;
}

bool userdir_clear_odd(const char* path, regfile_links links) {
  return !regfile_is_other(path, links) || move_aside(path, "is not a regular file");
}

void userdir_reset() {
  if (lock_file) fclose(lock_file);
  lock_file = nullptr;
  state = USERDIR_WRITABLE;
}
