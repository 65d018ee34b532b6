#include "savefile.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "wld.h"

void save_write_int(FILE* f, const char* name, int v) { fprintf(f, "%s %d\n", name, v); }

// Names may hold blanks ("food_bkry[ idx ]"): match them word by word.
static bool expect_name(FILE* f, const char* name) {
  char want[257];
  snprintf(want, sizeof want, "%s", name);
  char* save = nullptr;
  for (char* w = strtok_r(want, " ", &save); w; w = strtok_r(nullptr, " ", &save)) {
    char word[257];
    if (fscanf(f, " %256s", word) != 1 || strcmp(word, w) != 0) {
      LOG("ERR Saved game: expected '%s'", name);
      return false;
    }
  }
  return true;
}

// One number as a word of at most SAVE_NUMBER_CHARS characters, and the
// blanks after it, as a "%d\n" or "%f " conversion would skip them. A longer
// word is refused after those characters: a number of a billion digits must
// not be read into memory whole before it is found to be no number.
static bool scan_word(FILE* f, char word[SAVE_NUMBER_CHARS + 1]) {
  int c;
  while ((c = fgetc(f)) != EOF && isspace(c)) {
  }
  int n = 0;
  while (c != EOF && !isspace(c)) {
    if (n == SAVE_NUMBER_CHARS) return false;
    word[n++] = (char)c;
    c = fgetc(f);
  }
  while (c != EOF && isspace(c)) c = fgetc(f);
  if (c != EOF) ungetc(c, f);
  word[n] = '\0';
  return n > 0;
}

// The whole word must be the number. A number past the 32-bit range must not
// wrap into a plausible one.
static bool scan_int(FILE* f, int32_t* v) {
  char word[SAVE_NUMBER_CHARS + 1], *end;
  if (!scan_word(f, word)) return false;
  errno = 0;
  long long wide = strtoll(word, &end, 10);
  if (*end != '\0' || errno == ERANGE || wide < INT32_MIN || wide > INT32_MAX) return false;
  *v = (int32_t)wide;
  return true;
}

// Finite unless `any`; parse is strtod or strtof, so a float is rounded once.
template <typename T>
static bool scan_real(FILE* f, T* v, T (*parse)(const char*, char**), bool any = false) {
  char word[SAVE_NUMBER_CHARS + 1], *end;
  if (!scan_word(f, word)) return false;
  *v = parse(word, &end);
  return *end == '\0' && (any || std::isfinite(*v));
}

bool save_read_int(FILE* f, const char* name, int* v) {
  if (!expect_name(f, name)) return false;
  if (!scan_int(f, v)) {
    LOG("ERR Saved game: no number for '%s'", name);
    return false;
  }
  return true;
}

bool save_read_count(FILE* f, const char* name, int lo, int hi, int* v) {
  int n;
  if (!save_read_int(f, name, &n)) return false;
  if (n < lo || n > hi) {
    LOG("ERR Saved game: %s %d outside %d..%d", name, n, lo, hi);
    return false;
  }
  *v = n;
  return true;
}

bool save_read_double(FILE* f, const char* name, double* v) {
  if (!expect_name(f, name)) return false;
  if (!scan_real(f, v, strtod)) {
    LOG("ERR Saved game: no finite number for '%s'", name);
    return false;
  }
  return true;
}

void save_write_header(FILE* f, const char* name) { fprintf(f, "%s\n", name); }

bool save_skip_header(FILE* f, const char* name) {
  char line[257];
  if (!fgets(line, sizeof line, f)) {
    LOG("ERR Saved game: missing header '%s'", name);
    return false;
  }
  line[strcspn(line, "\r\n")] = '\0';
  if (strcmp(line, name) != 0) {
    LOG("ERR Saved game: expected header '%s'", name);
    return false;
  }
  return true;
}

void save_write_ints(FILE* f, const int32_t* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%d\n", v[i]);
}

enum Values { INTS, FINITE_FLOATS, ANY_FLOATS };

static bool read_values(FILE* f, const char* what, Values kind, void* dst, int n) {
  for (int i = 0; i < n; i++) {
    bool ok = kind == INTS ? scan_int(f, (int32_t*)dst + i)
                           : scan_real(f, (float*)dst + i, strtof, kind == ANY_FLOATS);
    if (!ok) {
      LOG("ERR Saved game: bad value %d of '%s'", i, what);
      return false;
    }
  }
  return true;
}

bool save_read_ints(FILE* f, const char* what, int32_t* v, int n) {
  return read_values(f, what, INTS, v, n);
}

void save_write_floats(FILE* f, const float* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%f\n", v[i]);
}

bool save_read_floats(FILE* f, const char* what, float* v, int n) {
  return read_values(f, what, FINITE_FLOATS, v, n);
}

bool save_read_any_floats(FILE* f, const char* what, float* v, int n) {
  return read_values(f, what, ANY_FLOATS, v, n);
}

void save_write_int_row(FILE* f, const int32_t* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%d ", v[i]);
  fputc('\n', f);
}

bool save_read_int_row(FILE* f, const char* what, int32_t* v, int n) {
  return read_values(f, what, INTS, v, n);
}

void save_write_float_row(FILE* f, const float* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%f ", v[i]);
  fputc('\n', f);
}

bool save_read_float_row(FILE* f, const char* what, float* v, int n) {
  return read_values(f, what, FINITE_FLOATS, v, n);
}

bool save_near_site(float v) { return v >= -GRIDSZ && v < 2 * GRIDSZ; }

bool save_read_block(FILE* f, const char* what, void* dst, size_t n) {
  if (fread(dst, 1, n, f) != n) {
    LOG("ERR Saved game: binary block '%s' is short", what);
    return false;
  }
  return true;
}
