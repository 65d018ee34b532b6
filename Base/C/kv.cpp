#include "kv.h"

#include <cstdio>
#include <cstdlib>

#include "log.h"
#include "notify.h"

static void kv_path(char* path, int size, const char* key) {
  ASSERT(filesPath);
  snprintf(path, size, "%s/.%s", filesPath, key);
}

void kv_set(const char* key, int value) {
  char path[256];
  kv_path(path, sizeof path, key);
  FILE* f = fopen(path, "w");
  if (!f) LOG("ERR Cannot write key-value pair to '%s'", path);
  ASSERT(f);
  fprintf(f, "%d", value);
  fclose(f);
}

int kv_get(const char* key, int dflt) {
  char path[256];
  kv_path(path, sizeof path, key);
  FILE* f = fopen(path, "r");
  if (!f) return dflt;
  char line[128];
  // An existing but empty file holds no value: treat it as never written.
  const bool got = fgets(line, sizeof line, f) != nullptr;
  fclose(f);
  return got ? notify_atoi(line) : dflt;
}
