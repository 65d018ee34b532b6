// Text-message bus: "word key=value key=value", dispatched synchronously.
#pragma once

#define NOTIFY_MAX_SZ 64
#define NOTIFY_QUEUE_SZ 16
#define NOTIFY_STRING_SZ 80

typedef void (*notify_handler)(const char* text);

bool notify_listen(const char* name, notify_handler handler);
bool notify_unlisten(const char* name, notify_handler handler);

// A module's handlers as one table, registered and removed together.
struct notify_binding {
  const char* name;
  notify_handler handler;
};
// Both return how many of the n bindings changed (a binding already there is skipped).
int notify_listen_all(const notify_binding* bindings, int n);
int notify_unlisten_all(const notify_binding* bindings, int n);
int notify_post(const char* text);
int notify_flush();
int notify_count();
// No handler and nothing queued, as in a fresh process.
void notify_reset();

// Parameters: INT_MIN, -FLT_MAX and "" when the key is absent.
int notify_int(const char* text, const char* key);
float notify_float(const char* text, const char* key);
void notify_string(const char* text, const char* key, char out[NOTIFY_STRING_SZ]);

// Decimal conversion as strtol does it, clamped into int instead of overflowing.
int notify_atoi(const char* s);
