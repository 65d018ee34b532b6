// A seeded random player: it plays through the controller's handlers and the
// views' input (buildings, marks, hires, drags of workers and cats, the
// menu), and at random moments saves the game as the shell does at its end
// and starts again on that pair as the next start does. Every pair must load
// to the walls and step costs play had, and a save right after it must write
// that very pair.
#pragma once
#include <cstdint>

#define RANDPLAY_KEPT 32

struct randplay_fault {
  double played;   // game seconds of the run
  char line[200];  // the ERR line, or what differed
};

struct randplay_result {
  int32_t saves, loads;
  int32_t faults;  // kept in fault[], the first RANDPLAY_KEPT
  randplay_fault fault[RANDPLAY_KEPT];
  int32_t most_workers;
};

// Plays `seconds` of game time from a new game on the run folder's map,
// keeping saved games and settings in `folder`. With `crowd` > 0 each new
// game starts grown to that many workers.
void randplay_run(uint32_t seed, double seconds, const char* folder, randplay_result* out,
                  int32_t crowd = 0);
