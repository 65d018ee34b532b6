// Whether this session may write in the user data folder. One running copy
// of the game owns a folder, through an advisory lock held to the process
// end; a second copy on it, or a copy on a folder it cannot write, still
// reads the folder and plays, but writes nothing there: not the saved game,
// the settings, the stats store or the log.
#pragma once
#include "regfile.h"

#define USERDIR_LOCK_FILE "tavorek.lock"
// Written by the stats layer when the guide opens; a session that may not
// write opens only the one an earlier session left.
#define USERDIR_GUIDE_PAGE "guide.html"

enum userdir_state {
  USERDIR_WRITABLE = 0,  // this copy owns the folder, or none was claimed
  USERDIR_NOT_OWNER,     // another running copy owns it
  USERDIR_READ_ONLY,     // the folder cannot be written
  USERDIR_SAVE_STUCK,    // a refused saved game could not be kept aside
  USERDIR_NO_LOCK,       // the lock file can be neither opened nor moved aside
  USERDIR_STATES,
};

// Takes folder for this process: its lock file made or opened (without
// following a link; for reading when another user's file or its mode refuses
// writing, and moved aside and made anew when it cannot be opened at all) and
// locked. The state that follows, with one ERR line when it is not
// USERDIR_WRITABLE.
int userdir_claim(const char* folder);
// The session's state; USERDIR_WRITABLE until a claim or a refusal says otherwise.
int userdir_state();
bool userdir_writable();
// What keeps this session from writing, for log lines; "" while it may.
const char* userdir_why();
// From now on nothing is written, for the reason state gives (one ERR line);
// the first reason stays.
void userdir_refuse(int state);
// Anything but a regular file under one of the game's own names (a folder, a
// FIFO; without following, a link) would fail every later write there: it is
// moved aside as "<path>.rejected-<n>" with one ERR line. False (logged) when
// it cannot be.
bool userdir_clear_odd(const char* path, regfile_links links);
// The lock given up and writing allowed, as in a fresh process.
void userdir_reset();
