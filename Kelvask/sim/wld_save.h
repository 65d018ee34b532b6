// The saved game: a text file with counts, scalars and most module tables and
// a binary file with the large per-member and per-cell arrays, kept as one
// pair ("game.txtsav", "game.binsav") in the user data folder.
#pragma once
#include <cstdio>

#define SAVE_VERSION 103

// out != 0 writes the running world to the two streams; false when a module
// could not write its part. 0 reads them: false when the version is not
// SAVE_VERSION (nothing else is read or changed), and false when anything in
// the pair is damaged, after which the world the game had before is back (or,
// should that world fail the checks of its own saved form, a new game on its
// terrain). A taken pair of a lost game (its stock halted) or a won one (its
// pyramid standing) comes back over: wld_gameover, and wld_completed if won.
bool wld_serialize(int out, FILE* txt, FILE* bin);

// Writes the pair so that a stop at any moment leaves either the old pair or
// the new one whole: both go to ".tmp" files first, a commit marker then says
// they are complete, and only then do they replace the pair. False (logged)
// when a file cannot be written; the old pair stays.
bool wld_save();
// False when there is no pair or it was refused. A refused pair (damaged, of
// another version, or one file without the other) is moved aside as
// "game.txtsav.rejected-<n>" and "game.binsav.rejected-<n>".
bool wld_load();
// Whether either file of the pair lies in the user data folder.
bool wld_save_present();

// The steps of a save, in order. wld_save runs them all; wld_save_upto stops
// after `last`, as a save cut short there by a crash would.
enum {
  SAVE_STEP_TEMPS = 1,  // both ".tmp" files written and flushed to disk
  SAVE_STEP_COMMIT,     // the commit marker exists
  SAVE_STEP_BINARY,     // the binary file replaced
  SAVE_STEP_TEXT,       // the text file replaced
  SAVE_STEP_DONE,       // the marker removed
};
bool wld_save_upto(int last);
// Finishes a save that stopped after its commit marker, or drops the ".tmp"
// files of one that stopped before it. Every save and load runs it first.
// False (logged) when a committed pair could not be put in place.
bool wld_save_recover();
