// sound_probe NAME DISTANCE SECONDS: starts the sound engine in the current
// folder, plays effect NAME once straight ahead of a listener at the origin,
// DISTANCE units away, and keeps the device open for SECONDS. With OpenAL's
// wave writer as the device, the end-to-end tests measure what was heard.
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "log.h"
#include "sengine.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    LOG("ERR usage: sound_probe NAME DISTANCE SECONDS");
    return 2;
  }
  sengine_init();
  if (!sengine_up) return 1;
  const float eye[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, still[3] = {};
  sengine_set_listener(still, eye);
  int e = 0;
  while (e < SENGINE_FXCOUNT && strcmp(sengine_fx_files[e].name, argv[1]) != 0) e++;
  // The camera looks down its -z axis.
  const float at[3] = {0, 0, -(float)atof(argv[2])};
  if (e == SENGINE_FXCOUNT || !sengine_play_fx(e, at)) {
    LOG("ERR Could not play '%s'", argv[1]);
    return 1;
  }
  usleep((useconds_t)(atof(argv[3]) * 1e6));
  sengine_exit();
  return 0;
}
