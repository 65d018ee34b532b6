#include "hints.h"

#include <cfloat>
#include <cmath>
#include <cstring>

#include <epoxy/gl.h>

#include "glpr.h"
#include "msgwords.h"
#include "notify.h"
#include "text.h"
#include "view.h"

const char* toast_text;
float toast_timer;
int32_t hint_step;

static const char* const HINT_TEXT[] = {
    nullptr,
    "To get the food supply going,\nyou need to build a farm field.",
    "You need to build a bakery\nto process to grain into food.\n",
    "Food was just delivered at the\ntax office, earning you silver.",
    "To speed up your production,\nhire more workers.",
    "You need to build houses for\nexhausted workers.",
};
#define HINT_LAST 5

void toast_set(const char* text) {
  toast_text = text;
  view_shown[TOAST_VIEW] = text != nullptr;
}

void toast_show(const char* text, float seconds) {
  toast_set(text);
  toast_timer = seconds;
}

void toast_hide() { toast_set(nullptr); }

void toast_draw(float dt) {
  if (toast_text) {
    static const GLint colour = glpr_uniform("colour");
    const bool short_text = strlen(toast_text) <= 24;
    const float size[2] = {short_text ? 0.14f : 0.07f, short_text ? 0.6f : 0.3f};
    const float at[3] = {0.0f, 0.0f, 0.0f};
    glUniform4f(colour, 0.8f, 0.8f, 0.8f, 1.0f);
    text_draw(toast_text, at, size, "center", "center");
  }
  toast_run_timer(dt);
}

void toast_run_timer(float dt) {
  if (toast_timer <= 0.0f) return;
  toast_timer -= dt;
  if (toast_timer <= 0.0f) notify_post(MSG_DISMISSTOAST);
}

void hint_set(int32_t step) {
  hint_step = step;
  toast_set(step >= 1 && step <= HINT_LAST ? HINT_TEXT[step] : nullptr);
}

// The menu draws no toast: a hint started behind it would be unseen and
// take the next back action for itself.
static bool playing() { return view_shown[VIEW_WORLD] && !view_shown[VIEW_MENU]; }

static void start(int32_t step) {
  if (playing()) hint_set(step);
}

void hint_on_movecoi(const char* text) {
  if (hint_step != 0) return;
  const float dx = notify_float(text, "dx"), dy = notify_float(text, "dy");
  if (dx == -FLT_MAX || dy == -FLT_MAX) return;
  if (fabsf(dx) > 0.001f || fabsf(dy) > 0.001f) start(1);
}

// The event that the shown hint asked for hides it; the step stays.
static void hide_at(int32_t step) {
  if (hint_step == step) toast_hide();
}

void hint_on_farmbuilt(const char* text) { hide_at(1); }
void hint_on_bakerybuilt(const char* text) { hide_at(2); }
void hint_on_hutbuilt(const char* text) { hide_at(5); }

void hint_on_missingbakery(const char* text) {
  if (hint_step < 2) start(2);
}

void hint_on_missinghut(const char* text) {
  if (hint_step > 0) start(5);
}

void hint_on_newsilver(const char* text) {
  if (hint_step == 3)
    start(4);
  else if (hint_step <= 2)
    start(3);
}

static const notify_binding HINT_LISTENERS[] = {
    {MSG_FARMBUILT, hint_on_farmbuilt},   {MSG_BAKERYBUILT, hint_on_bakerybuilt},
    {MSG_HUTBUILT, hint_on_hutbuilt},     {MSG_MISSINGBAKERY, hint_on_missingbakery},
    {MSG_MISSINGHUT, hint_on_missinghut}, {MSG_NEWSILVER, hint_on_newsilver},
    {MSG_MOVECOI, hint_on_movecoi},
};

void hint_reset() {
  toast_hide();
  toast_timer = 0.0f;
  hint_step = 0;
}

void hint_init() {
  notify_listen_all(HINT_LISTENERS, sizeof HINT_LISTENERS / sizeof HINT_LISTENERS[0]);
  hint_step = 0;
}
