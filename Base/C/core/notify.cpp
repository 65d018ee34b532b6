#include "notify.h"

#include <cfloat>
#include <climits>
#include <cstdlib>
#include <cstring>

static const char* notify_names[NOTIFY_MAX_SZ];
static notify_handler notify_handlers[NOTIFY_MAX_SZ];
static int notify_sz;

// Nothing in the game queues texts; flush dispatches whatever is here.
static const char* notify_queue[NOTIFY_QUEUE_SZ];
static int notify_queue_sz;

void notify_reset() {
  memset(notify_names, 0, sizeof notify_names);
  memset(notify_handlers, 0, sizeof notify_handlers);
  notify_sz = 0;
  memset(notify_queue, 0, sizeof notify_queue);
  notify_queue_sz = 0;
}

static bool is_word_end(char c) { return c == ' ' || c == '\n' || c == '\0'; }

static int word_length(const char* text) {
  int len = 0;
  while (!is_word_end(text[len])) len++;
  return len;
}

bool notify_listen(const char* name, notify_handler handler) {
  for (int i = 0; i < notify_sz; i++)
    if (notify_handlers[i] == handler && strcmp(notify_names[i], name) == 0) return false;
  if (notify_sz >= NOTIFY_MAX_SZ) return false;
  notify_names[notify_sz] = name;
  notify_handlers[notify_sz] = handler;
  notify_sz++;
  return true;
}

bool notify_unlisten(const char* name, notify_handler handler) {
  for (int i = 0; i < notify_sz; i++) {
    if (notify_handlers[i] != handler || strcmp(notify_names[i], name) != 0) continue;
    notify_sz--;
    if (i != notify_sz) {
      notify_names[i] = notify_names[notify_sz];
      notify_handlers[i] = notify_handlers[notify_sz];
    }
    return true;
  }
  return false;
}

int notify_listen_all(const notify_binding* bindings, int n) {
  int changed = 0;
  for (int i = 0; i < n; i++) changed += notify_listen(bindings[i].name, bindings[i].handler);
  return changed;
}

int notify_unlisten_all(const notify_binding* bindings, int n) {
  int changed = 0;
  for (int i = 0; i < n; i++) changed += notify_unlisten(bindings[i].name, bindings[i].handler);
  return changed;
}

int notify_post(const char* text) {
  const int len = word_length(text);
  if (len == 0) return 0;
  int calls = 0;
  // The count is re-read every pass: handlers may listen or unlisten meanwhile.
  for (int i = 0; i < notify_sz; i++) {
    const char* name = notify_names[i];
    if (strncmp(text, name, len) == 0 && name[len] == '\0') {
      notify_handlers[i](text);
      calls++;
    }
  }
  return calls;
}

int notify_flush() {
  int calls = 0;
  for (int i = 0; i < notify_queue_sz; i++) calls += notify_post(notify_queue[i]);
  notify_queue_sz = 0;
  return calls;
}

int notify_count() { return notify_sz; }

// Start of the value behind key, or null when the key is absent.
static const char* find_value(const char* text, const char* key) {
  const char* hit = strstr(text + word_length(text), key);
  if (!hit) return nullptr;
  const char* eq = strchr(hit, '=');
  if (!eq || eq[1] == '\0') return nullptr;
  return eq + 1;
}

int notify_atoi(const char* s) {
  const long v = strtol(s, nullptr, 10);
  if (v < INT_MIN) return INT_MIN;
  if (v > INT_MAX) return INT_MAX;
  return (int)v;
}

int notify_int(const char* text, const char* key) {
  const char* v = find_value(text, key);
  return v ? notify_atoi(v) : INT_MIN;
}

float notify_float(const char* text, const char* key) {
  const char* v = find_value(text, key);
  return v ? (float)strtod(v, nullptr) : -FLT_MAX;
}

void notify_string(const char* text, const char* key, char out[NOTIFY_STRING_SZ]) {
  out[0] = '\0';
  const char* v = find_value(text, key);
  if (!v) return;
  int n = 0;
  while (n < NOTIFY_STRING_SZ - 1 && !is_word_end(v[n])) {
    out[n] = v[n];
    n++;
  }
  out[n] = '\0';
}
