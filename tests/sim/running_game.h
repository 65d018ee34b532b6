// A game in full swing for the state-hash test and the frame benchmarks:
// scripted play on the terrain map, then the crowd filled to a given size
// with members scattered over open land, and a few frames to settle.
#pragma once
#include <cstdlib>

#include "autoplay.h"
#include "crowd.h"
#include "terrain_map.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_state.h"

// Workers of every trade in turn scattered over open land until the crowd
// has members.
inline void running_game_fill(int members) {
  srand(7);
  while (crowd_sz < members) {
    int c;
    do c = rand() % GRIDCELLS;
    while (wld_cellflags[c] != 0x0f);
    const int i = wld_spawn(crowd_sz % 4);
    if (i < 0) break;
    const float x = c % GRIDSZ + 0.5f, y = c / GRIDSZ + 0.5f;
    cpBodySetPosition(wld_bodies[i], cpv(x, y));
    cpSpaceReindexShapesForBody(wld_space, wld_bodies[i]);
    crowd_posx[i] = x, crowd_posy[i] = y;
  }
}

// Game seconds of scripted play, the crowd size, frames to settle; false
// when the terrain map is missing.
// Starts from the state of a fresh process.
inline bool running_game_start(double seconds, int members, int settle_frames) {
  wld_reset();
  if (!autoplay_start(terrain_map_path().c_str())) return false;
  sdlmain_cheat = 1;    // nobody dies while the clock runs on
  ctrl_difficulty = 0;  // the rules the recorded hash was made with
  autoplay_run(seconds);
  running_game_fill(members);
  for (int f = 0; f < settle_frames; f++) autoplay_frame();
  return true;
}

inline void running_game_end() {
  autoplay_stop();
  wld_reset();
}
