// Each layer's fresh_<layer>() puts that layer and every layer below back as
// a fresh process has them, the layers below first; a layer reached twice
// (ui through draw and through sound) is simply reset twice.
#pragma once
#include "camera.h"
#include "kv.h"
#include "log.h"
#include "notify.h"
#include "test_devices.h"
#include "threadpool.h"
#include "userdir.h"

inline void fresh_core() {
  threadpool_reset();  // its threads stop before anything they might touch
  notify_reset();
  kv_reset();
  camera_reset();
  userdir_reset();
  log_reset();
}
