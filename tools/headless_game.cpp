// Plays the game without a window: a scripted player builds, hires and marks
// on the generated terrain while the world runs at 60 frames of 4 steps per
// game second; prints the timeline of what happened.
//   headless_game [minutes [map]]
// Plays at least `minutes` (20 by default) and on until the first pyramid
// layer stands, then until the player has a second tax office, then two
// minutes more; an hour at most. Exit status 0 when every milestone of the
// production chain, of resting and of building was reached.
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "autoplay.h"
#include "stones.h"
#include "taxc.h"
#include "wld_start.h"

static const double LIMIT = 3600.0;

int main(int argc, char** argv) {
  double minutes = argc > 1 ? atof(argv[1]) : 20.0;
  const char* map = argc > 2 ? argv[2] : WLD_MAPFILE;
  if (!(minutes > 0.0)) {
    fprintf(stderr, "usage: headless_game [minutes [map]]\n");
    return 2;
  }
  if (!autoplay_start(map)) return 1;
  clock_t began = clock();
  while (autoplay_time() < LIMIT && (autoplay_time() < minutes * 60.0 || stones_pyramid_level == 7))
    autoplay_frame();
  while (autoplay_time() < LIMIT && taxc_count < 2) autoplay_frame();
  autoplay_run(autoplay_time() + 120.0);
  double cpu = (double)(clock() - began) / CLOCKS_PER_SEC;

  printf("\n==== timeline (game time, event) ====\n");
  for (int i = 0; i < autoplay_linecount; i++) printf("%s\n", autoplay_lines[i]);
  printf("==== %.1f game minutes in %.1f s of processor time; %d silver earned ====\n",
         autoplay_time() / 60.0, cpu, autoplay_silver_earned);
  int missing = 0;
  for (int e = 0; e < AUTOPLAY_EVENTS; e++)
    if (e != AUTOPLAY_DIED && autoplay_first[e] < 0) {
      printf("never happened: %s\n", autoplay_event_name(e));
      missing++;
    }
  autoplay_stop();
  return missing == 0 ? 0 : 1;
}
