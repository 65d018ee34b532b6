#include "wld_init.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "bakeries.h"
#include "buckets.h"
#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "hire.h"
#include "huts.h"
#include "log.h"
#include "mtbe.h"
#include "plates.h"
#include "potfield.h"
#include "sickles.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_fields.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_walls.h"

// What a new game carries over from the game before. A full reset
// (wld_reset) starts these again too; nothing else survives a new game.
// - wld_height: the new terrain, laid by the caller;
// - wld_age: the clock runs on until a load sets it;
// - wld_fieldframe: the field pairs keep their turn;
// - wld_spawnrr: the spawn round robin keeps its place;
// - the random streams: the cats' own and libc's (stone jitter, stranded
//   workers, which draws from it too), never reseeded by a new game;
// - the matrices of the free food and grain slots;
// - wld_completed, wld_stattimer, wld_statcount: the controller's end of
//   game and the stats cadence, the controller's to restart;
// - the rules of play the controller and the shell set: ctrl_footprint,
//   ctrl_placemargin, ctrl_difficulty, sdlmain_cheat;
// - the solver path chosen for this processor (potfield_use).
// The event tracks and the hire counts are no part of a game's state: their
// owners (the restart, a load's fallback, the hire panel) reset them.
struct Carried {
  uint8_t height[GRIDCELLS];
  double age;
  int32_t fieldframe, spawnrr;
  uint32_t cats_rng;
  int32_t completed;
  float stattimer;
  int32_t statcount;
  int32_t footprint, placemargin, difficulty, cheat;
  int solver;
};

static void keep(Carried* k) {
  memcpy(k->height, wld_height, sizeof k->height);
  k->age = wld_age;
  k->fieldframe = wld_fieldframe;
  k->spawnrr = wld_spawnrr;
  k->cats_rng = cats_rng;
  k->completed = wld_completed;
  k->stattimer = wld_stattimer;
  k->statcount = wld_statcount;
  k->footprint = ctrl_footprint;
  k->placemargin = ctrl_placemargin;
  k->difficulty = ctrl_difficulty;
  k->cheat = sdlmain_cheat;
  k->solver = potfield_path();
}

static void put_back(const Carried* k) {
  memcpy(wld_height, k->height, sizeof wld_height);
  wld_age = k->age;
  wld_fieldframe = k->fieldframe;
  wld_spawnrr = k->spawnrr;
  cats_rng = k->cats_rng;
  wld_completed = k->completed;
  wld_stattimer = k->stattimer;
  wld_statcount = k->statcount;
  ctrl_footprint = k->footprint;
  ctrl_placemargin = k->placemargin;
  ctrl_difficulty = k->difficulty;
  sdlmain_cheat = k->cheat;
  potfield_use(k->solver);
}

// The grids of wld.cpp, the scalars and per-member arrays of wld_state.cpp
// and the field counter at the values a fresh process has.
static void reset_world_state() {
  for (uint8_t* g : {wld_height, wld_cellflags, wld_catflags}) memset(g, 0, GRIDCELLS);
  for (float* g : {basecostw, basecoste, basecostn, basecosts, wld_goalweight, wld_catweight})
    memset(g, 0, GRIDCELLS * sizeof(float));
  memset(wld_potential, 0, sizeof wld_potential);
  memset(wld_flow, 0, sizeof wld_flow);
  wld_selected = wld_selectedcat = -1;
  wld_fieldframe = 0;

  wld_age = 0.0;
  wld_dt = 0.0;
  wld_numdead = wld_started = wld_initialised = wld_gameover = wld_completed = 0;
  for (int q = 0; q < TRADECNT; q++) spawnqueues[q] = 0;
  wld_spawntimer = 1.0f;
  wld_catspawn = wld_spawnrr = 0;
  wld_stattimer = 0.0f;
  wld_statcount = 0;
  memset(wld_worktime, 0, sizeof wld_worktime);
  memset(wld_exhausttime, 0, sizeof wld_exhausttime);
  memset(wld_emote, 0, sizeof wld_emote);
  memset(emote_age, 0, sizeof emote_age);
  memset(wld_trfs, 0, sizeof wld_trfs);
  memset(spiral_centre, 0, sizeof spiral_centre);
  ctrl_footprint = 3;
  ctrl_placemargin = 2;
  ctrl_difficulty = 1;
  sdlmain_cheat = 0;
}

// Every module of one game at its start values, the physics torn down.
static void reset_game() {
  cats_reset();  // its bodies leave the space before the space goes
  farms_reset();
  bakeries_reset();
  huts_reset();
  taxc_reset();
  stones_reset();
  grain_clear();
  food_clear();
  buckets_reset();
  sickles_reset();
  plates_reset();
  crowd_reset();
  potfield_reset();
  if (wld_space) wld_exit();
  reset_world_state();
}

void wld_reset() {
  reset_game();
  grain_reset();
  food_reset();
  mtbe_clear();
  hire_reset();
  srand(1);  // where libc's stream starts in a fresh process
}

void wld_init() {
  static Carried kept;  // 16 KiB of terrain: off the stack
  keep(&kept);
  reset_game();
  put_back(&kept);

  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();
  stones_init();
  for (int t = 0; t < GROUPCNT; t++)
    for (int c = 0; c < POTENTIALSZ; c++) wld_potential[t][c] = FLT_UNDF;

  wld_create_space();
  int n = wld_create_walls();
  LOG("Created %d wall shapes.", n);
  wld_initialised = 1;
}

void wld_next_spawn_point(float* x, float* y) {
  *x = *y = 0.0f;
  if (taxc_count <= 0) return;
  int t = wld_spawnrr % taxc_count;
  wld_spawnrr = t + 1;
  *x = (float)(taxc_cidx[t] % GRIDSZ) + 0.5f;
  *y = (float)(taxc_cidx[t] / GRIDSZ) + 0.3f;
}

static void give_tool(int trade, int n) {
  if (trade == 1) buckets_give(n);
  if (trade == 2) sickles_give(n);
  if (trade == 3) plates_give(n);
}

int wld_spawn(int trade) {
  if (crowd_sz >= CROWDSZ) {
    LOG("ERR The crowd is full; no worker of trade %d is spawned.", trade);
    return -1;
  }
  int n = crowd_sz;
  crowd_add(trade);
  // A load may have left an earlier game's values past its crowd.
  wld_worktime[n] = wld_exhausttime[n] = emote_age[n] = 0.0f;
  wld_emote[n] = 0;
  crowd_time[n] = 0.0;
  crowd_phase[n] = crowd_dirx[n] = crowd_diry[n] = 0.0f;
  float x, y;
  wld_next_spawn_point(&x, &y);
  // The first workers come out of one office together; these two step
  // aside so the four do not start on top of each other.
  if (n == 2) x -= 0.11f, y -= 0.6f;
  if (n == 3) x += 0.11f, y -= 0.5f;
  crowd_posx[n] = x;
  crowd_posy[n] = y;
  wld_add_body(n, x, y);
  give_tool(trade, n);
  return n;
}

int wld_add_taxc(int x, int y) {
  if (taxc_count >= MAXTAXC) return -1;
  int t = taxc_add(x, y);
  if (t >= 0) wld_walls_taxc(x, y);
  return t;
}
