// PLACEHOLDER until the real game controller lands: only what the shell needs.
#include "ctrl.h"

#include <epoxy/gl.h>

#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "sengine.h"
#include "threadpool.h"
#include "wld.h"

int32_t ctrl_pressstate;
static bool ctrl_firsttime = true;

void ctrl_create(int32_t width, int32_t height, float csf) {
  LOG("ctrl_create( %d, %d, %f )", width, height, csf);
  if (ctrl_firsttime) {
    sengine_read_music_setting();
    notify_listen(MSG_PLAYFX, sengine_on_playfx);
    notify_listen(MSG_MUSICSETTING, sengine_on_musicsetting);
    threadpool_create();
    sengine_init();
    ctrl_firsttime = false;
  }
  sengine_play_music(1);
}

void ctrl_update(int32_t steps, double dt) {}

void ctrl_draw(float dt, float elapsed) {
  glClearColor(0.6f, 0.7f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void ctrl_pick(float depth) {}

bool ctrl_back() { return false; }

void ctrl_release() {
  wld_selected = -1;
  wld_selectedcat = -1;
  ctrl_pressstate = 0;
}

void ctrl_destroy() { LOG("ctrl_destroy"); }
