#include "fresh_core.h"

#include "camera.h"
#include "kv.h"
#include "log.h"
#include "notify.h"
#include "threadpool.h"
#include "userdir.h"

void fresh_core() {
  threadpool_reset();  // its threads stop before anything they might touch
  notify_reset();
  kv_reset();
  camera_reset();
  userdir_reset();
  log_reset();
}
