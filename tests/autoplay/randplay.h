// A seeded random player: it plays through the controller's handlers and the
// views' input (build modes and placement, build marks one by one and by
// area, hires, presses and drags of workers and cats, the menu's settings,
// restart), aims often at buildings, the pyramid's base, water edges, cliffs
// and the map's edges, and at random moments saves the game as the shell does
// at its end and starts again on that pair as the next start does. Every
// pair must load, and a save right after a load must write that very pair.
#pragma once
#include <cstdint>

#define RANDPLAY_LINE_SZ 200
#define RANDPLAY_KEPT 32

struct randplay_fault {
  double played;                // game seconds of the run at the save
  double age;                   // the saved game's age
  char line[RANDPLAY_LINE_SZ];  // the ERR line, or where the pair differed
};

struct randplay_result {
  int32_t saves, loads;
  int32_t refused;   // pairs the next start set aside
  int32_t differed;  // saves right after a load that wrote another pair
  int32_t shut;      // workers left in a building's closed cell
  int32_t runaway;   // walk phases past one turn
  int32_t faults;    // kept in fault[], the first RANDPLAY_KEPT
  randplay_fault fault[RANDPLAY_KEPT];
  int32_t lost, won;  // games that ended so
  int32_t most_workers;
};

// Plays `seconds` of game time from a new game on the terrain map of the run
// folder, keeping its saved games and settings in `folder`. The style of play
// follows the seed: seed % 3 == 1 plays on Legend without huts until the
// game is lost; seed % 3 == 2 lets masons lay the builders' blocks on the
// pyramid's marks (the cheat option on) until it is won; others mix all.
// With `crowd` > 0 each new game starts grown to that many workers (see
// randplay_begin).
void randplay_run(uint32_t seed, double seconds, const char* folder, randplay_result* out,
                  int32_t crowd = 0);
