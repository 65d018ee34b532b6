// A scripted player for runs without a window: starts a game on a terrain
// map, places farm fields, bakeries, huts and tax offices where the placement
// test allows and pays for them as the build handlers do, hires workers,
// marks each next pyramid layer once the one below is done, and keeps a
// timeline of what happened. Nothing here needs a GL context.
#pragma once
#include <cstdint>

// What the player watches for; the first time each happens goes on the timeline.
enum {
  AUTOPLAY_WATER,     // water poured on a farm field
  AUTOPLAY_HARVEST,   // grain taken from a field
  AUTOPLAY_GRAIN,     // grain dropped at a bakery
  AUTOPLAY_FOODPICK,  // food taken from a bakery
  AUTOPLAY_FOODTAXC,  // food handed in at a tax office
  AUTOPLAY_SILVER,    // food turned into silver
  AUTOPLAY_FOODHUT,   // food brought to a hut
  AUTOPLAY_TIRED,     // a worker worked out
  AUTOPLAY_RESTING,   // a tired worker entered a hut
  AUTOPLAY_BACK,      // a rested worker went back to its trade
  AUTOPLAY_DIED,      // a worker died of exhaustion
  AUTOPLAY_STONE,     // a builder took a block from the stock
  AUTOPLAY_DEPOSIT,   // a block laid on a build mark
  AUTOPLAY_MARK,      // a build mark finished
  AUTOPLAY_LAYER,     // a pyramid layer finished
  AUTOPLAY_EVENTS
};

#define AUTOPLAY_STEPS 4  // simulation steps per frame
#define AUTOPLAY_FPS 60

extern double autoplay_first[AUTOPLAY_EVENTS];  // game seconds of the first, -1 never
extern int32_t autoplay_count[AUTOPLAY_EVENTS];
extern int32_t autoplay_silver_earned;
extern int32_t autoplay_hired[4];  // workers hired per trade, the first four included

#define AUTOPLAY_LINES 400
#define AUTOPLAY_LINESZ 160
extern int32_t autoplay_linecount;
extern char autoplay_lines[AUTOPLAY_LINES][AUTOPLAY_LINESZ];  // "mm:ss  what happened"

// A new game on the map with the thread pool running; false (logged) when
// the map cannot be read.
bool autoplay_start(const char* map);
// Seconds of game time since the start.
double autoplay_time();
// What an event is, as the timeline says it the first time.
const char* autoplay_event_name(int event);
// Adds a line to the timeline, stamped with the game time.
void autoplay_say(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
// One frame: the player's decisions, then the world advanced by
// AUTOPLAY_STEPS steps of 1/240 s.
void autoplay_frame();
// Runs frames until the game time reaches seconds, then notes the status.
void autoplay_run(double seconds);
// Tears the world and the pool down and stops listening.
void autoplay_stop();
