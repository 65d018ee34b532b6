// The saved game's file pair on disk: writing it so that a crash never leaves
// a mixed or partial pair, and moving a refused pair aside.
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "log.h"
#include "regfile.h"
#include "userdir.h"
#include "wld_physics.h"
#include "wld_save.h"

struct SavePaths {
  char txt[REGFILE_PATH_SZ], bin[REGFILE_PATH_SZ];        // the pair
  char txttmp[REGFILE_PATH_SZ], bintmp[REGFILE_PATH_SZ];  // the next pair while it is written
  char commit[REGFILE_PATH_SZ];  // exists while the next pair is complete but not yet in place
};

static const char* save_dir() { return filesPath ? filesPath : "."; }

static bool format_path(char out[REGFILE_PATH_SZ], const char* name) {
  int n = snprintf(out, REGFILE_PATH_SZ, "%s/%s", save_dir(), name);
  if (n < 0 || n >= REGFILE_PATH_SZ) {
    LOG("ERR Saved game path too long: %s/%s", save_dir(), name);
    return false;
  }
  return true;
}

static bool save_paths(SavePaths* p) {
  return format_path(p->txt, "game.txtsav") && format_path(p->bin, "game.binsav") &&
         format_path(p->txttmp, "game.txtsav.tmp") && format_path(p->bintmp, "game.binsav.tmp") &&
         format_path(p->commit, "game.savcommit");
}

static bool exists(const char* path) { return access(path, F_OK) == 0; }

static void sync_dir() { regfile_sync_folder(save_dir()); }

#define REJECTED "rejected"

static bool finish_file(FILE* f, const char* path) {
  bool ok = fflush(f) == 0 && fsync(fileno(f)) == 0 && !ferror(f);
  ok = fclose(f) == 0 && ok;
  if (!ok) LOG("ERR Could not write %s: %s", path, strerror(errno));
  return ok;
}

static void drop_temps(const SavePaths* p) {
  remove(p->txttmp);
  remove(p->bintmp);
}

static bool write_temps(const SavePaths* p) {
  FILE* txt = regfile_open(p->txttmp, "w");
  FILE* bin = txt ? regfile_open(p->bintmp, "wb") : nullptr;
  if (!txt || !bin) {
    LOG("ERR Cannot create %s: %s; the saved game stays as it was.", txt ? p->bintmp : p->txttmp,
        regfile_reason());
    if (txt) fclose(txt);
    drop_temps(p);
    return false;
  }
  bool ok = wld_serialize(1, txt, bin);
  ok = finish_file(txt, p->txttmp) && ok;
  ok = finish_file(bin, p->bintmp) && ok;
  if (!ok) {
    LOG("ERR The game could not be saved; the saved game stays as it was.");
    drop_temps(p);
  }
  return ok;
}

static bool mark_commit(const SavePaths* p) {
  FILE* f = regfile_open(p->commit, "w");
  if (!f)
    LOG("ERR Cannot create %s: %s; the saved game stays as it was.", p->commit, regfile_reason());
  if (!f || !finish_file(f, p->commit)) {
    if (f) remove(p->commit);  // only a marker made here, never what was found
    drop_temps(p);
    return false;
  }
  sync_dir();
  return true;
}

static bool place(const char* from, const char* to) {
  if (!userdir_clear_odd(to, REGFILE_FOLLOW)) return false;
  if (rename(from, to) == 0) return true;
  LOG("ERR Cannot rename %s to %s: %s", from, to, strerror(errno));
  return false;
}

static bool place_binary(const SavePaths* p) { return place(p->bintmp, p->bin); }

static bool place_text(const SavePaths* p) {
  if (!place(p->txttmp, p->txt)) return false;
  sync_dir();
  return true;
}

static bool clear_commit(const SavePaths* p) {
  if (remove(p->commit) != 0) {
    LOG("ERR Cannot remove %s: %s", p->commit, strerror(errno));
    return false;
  }
  sync_dir();
  return true;
}

bool wld_save_recover() {
  SavePaths p;
  if (!save_paths(&p)) return false;
  // The marker and the temporary pair are only the game's: a link there is
  // moved aside too.
  if (!userdir_clear_odd(p.commit, REGFILE_NOFOLLOW) ||
      !userdir_clear_odd(p.txttmp, REGFILE_NOFOLLOW) ||
      !userdir_clear_odd(p.bintmp, REGFILE_NOFOLLOW))
    return false;
  if (!exists(p.commit)) {
    // A save that stopped before its commit: the old pair is whole.
    drop_temps(&p);
    return true;
  }
  LOG("Finishing a save that was cut short.");
  return (!exists(p.bintmp) || place_binary(&p)) && (!exists(p.txttmp) || place_text(&p)) &&
         clear_commit(&p);
}

typedef bool (*save_step_fn)(const SavePaths* p);
static const save_step_fn save_steps[] = {write_temps, mark_commit, place_binary, place_text,
                                          clear_commit};

bool wld_save_upto(int last) {
  SavePaths p;
  if (!save_paths(&p)) return false;
  if (!userdir_writable()) {
    // The session's one ERR line said why at its start.
    LOG("Game not saved: %s.", userdir_why());
    return false;
  }
  if (!wld_save_recover()) {
    LOG("ERR Game not saved: an earlier save could not be finished.");
    return false;
  }
  for (int s = SAVE_STEP_TEMPS; s <= last && s <= SAVE_STEP_DONE; s++)
    if (!save_steps[s - SAVE_STEP_TEMPS](&p)) return false;
  return true;
}

bool wld_save() { return wld_save_upto(SAVE_STEP_DONE); }

// Keeps a refused pair, or the one file of an incomplete pair, under the
// lowest free number, so that the next save cannot overwrite it. A pair that
// stays in place is never overwritten: this session then saves nothing.
static void set_aside(const SavePaths* p) {
  if (!userdir_writable()) {
    LOG("The refused saved game stays in place: %s.", userdir_why());
    return;
  }
  char txt[REGFILE_PATH_SZ], bin[REGFILE_PATH_SZ];
  for (int n = 1; n <= REGFILE_MAXASIDE; n++) {
    if (!regfile_aside_name(p->txt, REJECTED, n, txt, sizeof txt) ||
        !regfile_aside_name(p->bin, REJECTED, n, bin, sizeof bin))
      continue;
    bool ok = (!exists(p->txt) || place(p->txt, txt)) && (!exists(p->bin) || place(p->bin, bin));
    sync_dir();
    if (ok)
      LOG("The refused saved game is kept as %s and %s.", txt, bin);
    else
      userdir_refuse(USERDIR_SAVE_STUCK);
    return;
  }
  LOG("ERR No free name to keep the refused saved game aside; it stays in place.");
  userdir_refuse(USERDIR_SAVE_STUCK);
}

bool wld_save_present() {
  SavePaths p;
  return save_paths(&p) && (exists(p.txt) || exists(p.bin));
}

bool wld_load() {
  SavePaths p;
  if (!save_paths(&p)) return false;
  if (!wld_space) {
    LOG("ERR No world to load the saved game into.");
    return false;
  }
  // A session that may not write reads the pair as it stands: another copy
  // may be saving it right now.
  if (userdir_writable() && !wld_save_recover()) {
    LOG("ERR Saved game not loaded: an interrupted save could not be finished.");
    return false;
  }
  bool has_txt = exists(p.txt), has_bin = exists(p.bin);
  if (!has_txt && !has_bin) {
    LOG("No saved game in %s.", save_dir());
    return false;
  }
  if (has_txt != has_bin) {
    LOG("ERR Saved game incomplete: %s without %s.", has_txt ? p.txt : p.bin,
        has_txt ? p.bin : p.txt);
    set_aside(&p);
    return false;
  }
  FILE* txt = regfile_open(p.txt, "r");
  FILE* bin = txt ? regfile_open(p.bin, "rb") : nullptr;
  if (!txt || !bin) {
    LOG("ERR Cannot open the saved game %s: %s", txt ? p.bin : p.txt, regfile_reason());
    if (txt) fclose(txt);
    // A folder or FIFO under the pair's name would be refused at every start.
    if (regfile_is_other(p.txt) || regfile_is_other(p.bin)) set_aside(&p);
    return false;
  }
  LOG("Loading the saved game from %s.", save_dir());
  bool ok = wld_serialize(0, txt, bin);
  fclose(txt);
  fclose(bin);
  if (!ok) set_aside(&p);
  return ok;
}
