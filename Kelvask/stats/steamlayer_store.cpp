// The local store of the desktop layer: one small text file in the user data
// folder, every value range-checked when read back.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "regfile.h"
#include "steamlayer_store.h"
#include "userdir.h"

#define STORE_HEADER "tavorek userstats 1"
#define STORE_TEXT_SZ 4096

static void clear() {
  memset(steamlayer_stat_value, 0, sizeof steamlayer_stat_value);
  memset(steamlayer_achieved, 0, sizeof steamlayer_achieved);
  memset(steamlayer_achieved_time, 0, sizeof steamlayer_achieved_time);
  memset(steamlayer_board_has, 0, sizeof steamlayer_board_has);
  memset(steamlayer_board_best, 0, sizeof steamlayer_board_best);
}

int steamlayer_store_text(char* out, int size) {
  int n = snprintf(out, size, "%s\n", STORE_HEADER);
  for (int s = 0; s < STEAMLAYER_STATS && n < size; s++)
    n += snprintf(out + n, size - n, "stat %s %d\n", steamlayer_stat_names[s],
                  steamlayer_stat_value[s]);
  for (int a = 0; a < STEAMLAYER_ACHIEVEMENTS && n < size; a++)
    n += snprintf(out + n, size - n, "achievement %s %d %lld\n", steamlayer_achievement_names[a],
                  steamlayer_achieved[a], (long long)steamlayer_achieved_time[a]);
  for (int b = 0; b < STEAMLAYER_BOARDS && n < size; b++)
    n += snprintf(out + n, size - n, "board %s %d %d\n", steamlayer_board_names[b],
                  steamlayer_board_has[b], steamlayer_board_best[b]);
  if (n < size) n += snprintf(out + n, size - n, "end\n");
  return n < size ? n : size - 1;
}

// How many whole numbers (at most two) follow, one blank before each; -9 when
// anything else is there.
static int read_numbers(const char* p, long long* v1, long long* v2) {
  long long* out[2] = {v1, v2};
  int n = 0;
  while (*p) {
    if (n == 2 || *p != ' ' || !(p[1] == '-' || (p[1] >= '0' && p[1] <= '9'))) return -9;
    char* end;
    errno = 0;
    *out[n++] = strtoll(p + 1, &end, 10);
    if (errno || end == p + 1 || (end == p + 2 && p[1] == '-')) return -9;
    p = end;
  }
  return n;
}

static bool is_flag(long long v) { return v == 0 || v == 1; }

// One record line into the arrays; false when anything is off. seen[] catches doubles.
static bool parse_record(const char* line, bool seen[3][8]) {
  char kind[16], name[64];
  long long v1 = 0, v2 = 0;
  int used = 0;
  if (sscanf(line, "%15s %63s%n", kind, name, &used) != 2) return false;
  const int n = 2 + read_numbers(line + used, &v1, &v2);
  int i;
  if (strcmp(kind, "stat") == 0 && n == 3) {
    i = steamlayer_find_name(steamlayer_stat_names, STEAMLAYER_STATS, name);
    if (i < 0 || seen[0][i] || v1 < 0 || v1 > INT_MAX) return false;
    seen[0][i] = true;
    steamlayer_stat_value[i] = (int32_t)v1;
    return true;
  }
  if (strcmp(kind, "achievement") == 0 && n == 4) {
    i = steamlayer_find_name(steamlayer_achievement_names, STEAMLAYER_ACHIEVEMENTS, name);
    // An achievement is set with its time, or unset without one.
    if (i < 0 || seen[1][i] || !is_flag(v1) || v2 < 0 || (v1 == 0) != (v2 == 0)) return false;
    seen[1][i] = true;
    steamlayer_achieved[i] = (int32_t)v1;
    steamlayer_achieved_time[i] = v2;
    return true;
  }
  if (strcmp(kind, "board") == 0 && n == 4) {
    i = steamlayer_find_name(steamlayer_board_names, STEAMLAYER_BOARDS, name);
    if (i < 0 || seen[2][i] || !is_flag(v1) || v2 < INT_MIN || v2 > INT_MAX) return false;
    if (v1 == 0 && v2 != 0) return false;
    seen[2][i] = true;
    steamlayer_board_has[i] = (int32_t)v1;
    steamlayer_board_best[i] = (int32_t)v2;
    return true;
  }
  return false;
}

int steamlayer_store_parse(const char* text) {
  clear();
  bool seen[3][8] = {};
  int number = 0;
  bool ended = false;
  for (const char* line = text; *line;) {
    const char* nl = strchr(line, '\n');
    if (!nl) return number + 1;  // cut off in the middle of a line
    char buf[128];
    const int len = (int)(nl - line);
    number++;
    if (ended || len >= (int)sizeof buf) return number;
    memcpy(buf, line, len);
    buf[len] = '\0';
    if (number == 1) {
      if (strcmp(buf, STORE_HEADER) != 0) return number;
    } else if (strcmp(buf, "end") == 0) {
      ended = true;
    } else if (!parse_record(buf, seen)) {
      return number;
    }
    line = nl + 1;
  }
  return ended ? 0 : number + 1;
}

// Moves a damaged store out of the way so a fresh one can start; numbered, so
// that a store damaged later does not replace one kept earlier.
static void move_aside(const char* path, int line) {
  char aside[STEAMLAYER_PATH_SZ + 16];
  if (!userdir_writable())
    LOG("ERR Stats store %s is damaged at line %d; left in place: %s.", path, line, userdir_why());
  else if (regfile_move_aside(path, "damaged", aside, sizeof aside))
    LOG("ERR Stats store %s is damaged at line %d; moved it to %s, starting afresh.", path, line,
        aside);
  else
    LOG("ERR Stats store %s is damaged at line %d; could not move it aside (%s), starting afresh.",
        path, line, strerror(errno));
  clear();
}

bool steamlayer_store_load() {
  char path[STEAMLAYER_PATH_SZ];
  if (!steamlayer_folder_file(STEAMLAYER_STORE_FILE, path, sizeof path)) return false;
  clear();
  FILE* f = regfile_open(path, "rb");
  if (!f) {
    if (access(path, F_OK) == 0) move_aside(path, 0);
    return true;  // a first start: nothing stored yet
  }
  char text[STORE_TEXT_SZ];
  const size_t n = fread(text, 1, sizeof text - 1, f);
  const bool whole = ferror(f) == 0 && fgetc(f) == EOF;
  fclose(f);
  text[n] = '\0';
  const int bad = !whole ? 1 : strlen(text) != n ? 1 : steamlayer_store_parse(text);
  if (bad) move_aside(path, bad);
  return true;
}

bool steamlayer_store_save() {
  // A session that may not write (said once at start) keeps its stats in
  // memory: the store is the other copy's, or cannot change.
  if (!userdir_writable()) return true;
  char path[STEAMLAYER_PATH_SZ];
  if (!steamlayer_folder_file(STEAMLAYER_STORE_FILE, path, sizeof path)) {
    LOG("ERR No user data folder for the stats store.");
    return false;
  }
  char text[STORE_TEXT_SZ];
  const int n = steamlayer_store_text(text, sizeof text);
  return steamlayer_write_file(path, text, n);
}
