// Each layer's fresh_<layer>() puts that layer and every layer below back as
// a fresh process has them, the layers below first; a layer reached twice
// (ui through draw and through sound) is simply reset twice.
#pragma once
#include <cstdlib>

#include "camera.h"
#include "kv.h"
#include "log.h"
#include "notify.h"
#include "threadpool.h"
#include "userdir.h"

// A layer's program started by hand runs on the devices ctest gives it: no
// sound card, no window on the desktop. Set before main, as OpenAL reads its
// drivers once a process; a value the caller set is kept.
inline const int fresh_core_devices =
    setenv("ALSOFT_DRIVERS", "null", 0) + setenv("SDL_VIDEODRIVER", "offscreen", 0);

inline void fresh_core() {
  threadpool_reset();  // its threads stop before anything they might touch
  notify_reset();
  kv_reset();
  camera_reset();
  userdir_reset();
  log_reset();
}
