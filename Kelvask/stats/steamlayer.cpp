#include "steamlayer.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "log.h"
#include "regfile.h"
#include "steamlayer_store.h"
#include "userdir.h"

#define STEAMLAYER_APP "tavorek"
#define STEAMLAYER_QUEUE_SZ 256
#define STEAMLAYER_LISTENERS 32
#define STEAMLAYER_PAYLOAD_SZ 160

bool steamlayer_up;

// Handles of the interfaces: only their addresses matter.
struct steamlayer_userif {
  int unused;
};
struct steamlayer_statsif {
  int unused;
};
struct steamlayer_friendsif {
  int unused;
};
static steamlayer_userif user_if;
static steamlayer_statsif stats_if;
static steamlayer_friendsif friends_if;

// Notifications waiting for the next callback run, oldest first.
static int32_t queue_id[STEAMLAYER_QUEUE_SZ];
static steamlayer_call queue_call[STEAMLAYER_QUEUE_SZ];
static bool queue_io_failure[STEAMLAYER_QUEUE_SZ];
alignas(8) static unsigned char queue_data[STEAMLAYER_QUEUE_SZ][STEAMLAYER_PAYLOAD_SZ];
static int queue_count;

static steamlayer_listener* callback_listener[STEAMLAYER_LISTENERS];
static int32_t callback_id[STEAMLAYER_LISTENERS];
static int callback_count;
static steamlayer_listener* result_listener[STEAMLAYER_LISTENERS];
static steamlayer_call result_call[STEAMLAYER_LISTENERS];
static int result_count;

static steamlayer_call last_call;

bool steamlayer_init() {
  steamlayer_up = true;
  queue_count = 0;
  steamlayer_store_forget();
  return true;
}

bool steamlayer_user() { return steamlayer_up && getpwuid(getuid()) != nullptr; }

steamlayer_userif* steamlayer_user_interface() { return steamlayer_user() ? &user_if : nullptr; }
steamlayer_statsif* steamlayer_stats_interface() { return steamlayer_up ? &stats_if : nullptr; }
steamlayer_friendsif* steamlayer_friends_interface() {
  return steamlayer_up ? &friends_if : nullptr;
}
bool steamlayer_logged_on(steamlayer_userif* user) { return user == &user_if && steamlayer_user(); }

// Creates every missing directory of path; true when path ends up a directory
// that can be read. Whether it can be written is for the game to find out: a
// read-only folder still holds the player's game.
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
  return stat(path, &st) == 0 && S_ISDIR(st.st_mode) && access(path, R_OK | X_OK) == 0;
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

bool steamlayer_folder_file(const char* name, char* path, int size) {
  char folder[REGFILE_FOLDER_SZ];  // the folder the game itself accepts
  if (!steamlayer_user_data_folder(folder, sizeof folder)) return false;
  const int n = snprintf(path, size, "%s/%s", folder, name);
  return n > 0 && n < size;
}

bool steamlayer_write_file(const char* path, const char* text, int len) {
  if (!userdir_writable()) {
    LOG("ERR Could not write %s: %s", path, userdir_why());
    return false;
  }
  char tmp[STEAMLAYER_PATH_SZ + 8];
  snprintf(tmp, sizeof tmp, "%s.tmp", path);
  // Only the game makes the temporary file: anything else there, a link
  // too, is kept aside, never written through.
  userdir_clear_odd(tmp, REGFILE_NOFOLLOW);
  FILE* f = regfile_open(tmp, "wb");
  bool ok = f && fwrite(text, 1, (size_t)len, f) == (size_t)len && fflush(f) == 0 &&
            fsync(fileno(f)) == 0;
  const char* why = f ? strerror(errno) : regfile_reason();
  if (f && fclose(f) != 0) ok = false;
  if (ok && rename(tmp, path) == 0) {
    regfile_sync_folder_of(path);
    return true;
  }
  LOG("ERR Could not write %s: %s", path, ok ? strerror(errno) : why);
  if (!regfile_is_other(tmp, REGFILE_NOFOLLOW)) unlink(tmp);
  return false;
}

steamlayer_call steamlayer_new_call() { return ++last_call; }

void steamlayer_queue(int id, steamlayer_call call, bool io_failure, const void* data, int size) {
  ASSERT(queue_count < STEAMLAYER_QUEUE_SZ);
  ASSERT(size <= STEAMLAYER_PAYLOAD_SZ);
  const int q = queue_count++;
  queue_id[q] = id;
  queue_call[q] = call;
  queue_io_failure[q] = io_failure;
  memset(queue_data[q], 0, STEAMLAYER_PAYLOAD_SZ);
  memcpy(queue_data[q], data, size);
}

void steamlayer_register_callback(steamlayer_listener* listener, int id) {
  ASSERT(callback_count < STEAMLAYER_LISTENERS);
  callback_listener[callback_count] = listener;
  callback_id[callback_count++] = id;
}

void steamlayer_unregister_callback(steamlayer_listener* listener, int id) {
  for (int i = 0; i < callback_count; i++) {
    if (callback_listener[i] != listener || callback_id[i] != id) continue;
    // Shifted, not swapped: listeners of one id keep hearing in the order they came.
    memmove(&callback_listener[i], &callback_listener[i + 1],
            (callback_count - i - 1) * sizeof callback_listener[0]);
    memmove(&callback_id[i], &callback_id[i + 1], (callback_count - i - 1) * sizeof callback_id[0]);
    callback_count--;
    return;
  }
}

void steamlayer_register_call_result(steamlayer_listener* listener, steamlayer_call call) {
  ASSERT(result_count < STEAMLAYER_LISTENERS);
  result_listener[result_count] = listener;
  result_call[result_count++] = call;
}

void steamlayer_unregister_call_result(steamlayer_listener* listener, steamlayer_call call) {
  for (int i = 0; i < result_count; i++) {
    if (result_listener[i] != listener || result_call[i] != call) continue;
    result_count--;
    result_listener[i] = result_listener[result_count];
    result_call[i] = result_call[result_count];
    return;
  }
}

static bool is_callback(steamlayer_listener* listener, int id) {
  for (int i = 0; i < callback_count; i++)
    if (callback_listener[i] == listener && callback_id[i] == id) return true;
  return false;
}

static void deliver(int q) {
  // From here on the stats can be read, also by the listeners about to hear.
  if (queue_id[q] == steamlayer_stats_received::id)
    steamlayer_stats_arrive((const steamlayer_stats_received*)queue_data[q]);
  if (queue_call[q] == 0) {
    // Listeners may come and go while hearing: the ones there now hear, in
    // the order they registered, unless they left meanwhile.
    steamlayer_listener* hearing[STEAMLAYER_LISTENERS];
    int n = 0;
    for (int i = 0; i < callback_count; i++)
      if (callback_id[i] == queue_id[q]) hearing[n++] = callback_listener[i];
    for (int i = 0; i < n; i++)
      if (is_callback(hearing[i], queue_id[q])) hearing[i]->deliver(queue_data[q], false);
    return;
  }
  for (int i = 0; i < result_count; i++) {
    if (result_call[i] != queue_call[q]) continue;
    steamlayer_listener* listener = result_listener[i];
    steamlayer_unregister_call_result(listener, queue_call[q]);
    listener->deliver(queue_data[q], queue_io_failure[q]);
    return;
  }
  // Nobody waits for this answer any more (the request was replaced).
}

void steamlayer_run_callbacks() {
  if (!steamlayer_up) return;
  steamlayer_reap_openers();
  // What the listeners request while hearing waits for the next run.
  const int due = queue_count;
  for (int q = 0; q < due; q++) deliver(q);
  memmove(queue_id, queue_id + due, (queue_count - due) * sizeof queue_id[0]);
  memmove(queue_call, queue_call + due, (queue_count - due) * sizeof queue_call[0]);
  memmove(queue_io_failure, queue_io_failure + due, (queue_count - due) * sizeof(bool));
  memmove(queue_data, queue_data + due, (queue_count - due) * sizeof queue_data[0]);
  queue_count -= due;
}

void steamlayer_shutdown() {
  steamlayer_store_flush();
  steamlayer_up = false;
  queue_count = 0;
}

void steamlayer_reset() {
  steamlayer_shutdown();
  memset(queue_id, 0, sizeof queue_id);
  memset(queue_call, 0, sizeof queue_call);
  memset(queue_io_failure, 0, sizeof queue_io_failure);
  memset(queue_data, 0, sizeof queue_data);
  memset(callback_listener, 0, sizeof callback_listener);
  memset(callback_id, 0, sizeof callback_id);
  callback_count = 0;
  memset(result_listener, 0, sizeof result_listener);
  memset(result_call, 0, sizeof result_call);
  result_count = 0;
  last_call = steamlayer_call{};
  steamlayer_store_reset();
  steamlayer_reap_openers();
}
