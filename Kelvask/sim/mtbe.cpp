#include "mtbe.h"

#include <cstdlib>
#include <cstring>

#include "log.h"
#include "savefile.h"

int32_t mtbe_numtracks;
int32_t mtbe_size[MAXTRACKS];
float* mtbe_ival[MAXTRACKS];
float* mtbe_stmp[MAXTRACKS];
int32_t mtbe_head[MAXTRACKS];
int32_t mtbe_tail[MAXTRACKS];
float mtbe_sum[MAXTRACKS];
float mtbe_last[MAXTRACKS];

static bool valid_size(int size) { return size >= 2 && size <= MTBE_MAXSIZE; }

int mtbe_create(int size, float now) {
  if (mtbe_numtracks >= MAXTRACKS) {
    LOG("ERR All %d event tracks are in use, no track made.", MAXTRACKS);
    return -1;
  }
  if (!valid_size(size)) {
    LOG("ERR Event track of %d slots refused.", size);
    return -1;
  }
  float* ival = (float*)calloc(size, sizeof(float));
  float* stmp = (float*)calloc(size, sizeof(float));
  if (!ival || !stmp) {
    LOG("ERR Out of memory for an event track of %d slots.", size);
    free(ival);
    free(stmp);
    return -1;
  }
  int i = mtbe_numtracks++;
  mtbe_size[i] = size;
  mtbe_ival[i] = ival;
  mtbe_stmp[i] = stmp;
  mtbe_head[i] = 0;
  mtbe_tail[i] = 0;
  mtbe_sum[i] = 0.0f;
  mtbe_last[i] = now;
  return i;
}

// False for the "no track" id; any other id must name a made track.
static bool is_track(int i) {
  if (i == -1) return false;
  ASSERT(i >= 0 && i < mtbe_numtracks);
  return true;
}

int mtbe_count(int i) {
  if (!is_track(i)) return 0;
  int n = mtbe_head[i] - mtbe_tail[i];
  return n < 0 ? n + mtbe_size[i] : n;
}

float mtbe_add_event(int i, float now) {
  if (!is_track(i)) return 0.0f;
  float interval = now - mtbe_last[i];
  mtbe_last[i] = now;
  int size = mtbe_size[i];
  int n = mtbe_count(i);
  // The assertions' texts are logged as written.
  // clang-format off
  ASSERT(mtbe_ival[ i ]);
  ASSERT(mtbe_stmp[ i ]);
  // clang-format on
  if (n == size - 1) {  // full: one slot always stays empty, drop the oldest
    mtbe_sum[i] -= mtbe_ival[i][mtbe_tail[i]];
    mtbe_tail[i] = (mtbe_tail[i] + 1) % size;
  } else {
    n++;
  }
  mtbe_ival[i][mtbe_head[i]] = interval;
  mtbe_stmp[i][mtbe_head[i]] = now;
  mtbe_sum[i] += interval;
  mtbe_head[i] = (mtbe_head[i] + 1) % size;
  return mtbe_sum[i] / n;
}

float mtbe_rate(int i, float now) {
  int n = mtbe_count(i);
  if (n == 0) return 0.0f;
  float span = now - mtbe_stmp[i][mtbe_tail[i]];
  return n / (span > 0.0f ? span : 1.0f);
}

float mtbe_mean(int i, float now) {
  if (!is_track(i)) return 0.0f;
  return (now - mtbe_last[i] + mtbe_sum[i]) / (mtbe_count(i) + 1);
}

void mtbe_clear() {
  for (int i = 0; i < MAXTRACKS; i++) {
    free(mtbe_ival[i]);
    free(mtbe_stmp[i]);
    mtbe_ival[i] = nullptr;
    mtbe_stmp[i] = nullptr;
    mtbe_size[i] = 0;
    mtbe_head[i] = 0;
    mtbe_tail[i] = 0;
    mtbe_sum[i] = 0.0f;
    mtbe_last[i] = 0.0f;
  }
  LOG("Cleared %d event tracks.", mtbe_numtracks);
  mtbe_numtracks = 0;
}

static bool mtbe_write(FILE* f) {
  bool ok = fprintf(f, "mtbe_numtracks %d\n", mtbe_numtracks) > 0 && fputs("mtbe_size\n", f) >= 0;
  for (int i = 0; ok && i < mtbe_numtracks; i++) ok = fprintf(f, "%d\n", mtbe_size[i]) > 0;
  if (!ok) LOG("ERR Could not write the event tracks.");
  return ok;
}

// The whole section is read and checked before the table is touched.
static bool mtbe_read_sizes(FILE* f, int* count, int sizes[MAXTRACKS]) {
  char header[256];
  if (!save_read_count(f, "mtbe_numtracks", 0, MAXTRACKS, count)) return false;
  if (!fgets(header, sizeof header, f) || strcmp(header, "mtbe_size\n") != 0) {
    LOG("ERR Event track size header missing.");
    return false;
  }
  if (!save_read_ints(f, "mtbe_size", sizes, *count)) return false;
  for (int i = 0; i < *count; i++) {
    if (!valid_size(sizes[i])) {
      LOG("ERR Event track %d has no valid size.", i);
      return false;
    }
  }
  return true;
}

static bool mtbe_read(FILE* f, float now) {
  int sizes[MAXTRACKS];
  int count;
  if (!mtbe_read_sizes(f, &count, sizes)) return false;
  mtbe_clear();
  LOG("Loading %d tracks.", count);
  // Made again in index order, so the ids the buildings saved still match.
  for (int i = 0; i < count; i++)
    if (mtbe_create(sizes[i], now) != i) return false;
  return true;
}

bool mtbe_serialize(int out, FILE* f, float now) {
  if (!f) {
    LOG("ERR No text save stream for the event tracks.");
    return false;
  }
  return out ? mtbe_write(f) : mtbe_read(f, now);
}
