#include "wld_init.h"

#include <cstring>

#include "bakeries.h"
#include "buckets.h"
#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "log.h"
#include "plates.h"
#include "potfield.h"
#include "sickles.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_physics.h"
#include "wld_state.h"
#include "wld_walls.h"

static void clear_members() {
  memset(wld_emote, 0, sizeof wld_emote);
  memset(emote_age, 0, sizeof emote_age);
  memset(wld_worktime, 0, sizeof wld_worktime);
  memset(wld_exhausttime, 0, sizeof wld_exhausttime);
  memset(crowd_time, 0, sizeof crowd_time);
  memset(crowd_phase, 0, sizeof crowd_phase);
  memset(crowd_dirx, 0, sizeof crowd_dirx);
  memset(crowd_diry, 0, sizeof crowd_diry);
  crowd_sz = 0;
}

static void clear_fields() {
  memset(potfield_state, 0, sizeof potfield_state);
  memset(wld_goalweight, 0, sizeof wld_goalweight);
  for (int t = 0; t < GROUPCNT; t++)
    for (int c = 0; c < POTENTIALSZ; c++) wld_potential[t][c] = FLT_UNDF;
}

void wld_init() {
  wld_compute_basecosts(wld_height);
  wld_compute_cellflags();

  cats_clear();
  farms_clear();
  bakeries_clear();
  huts_clear();
  taxc_clear();
  stones_init();
  grain_clear();
  food_clear();
  buckets_clear();
  sickles_clear();
  plates_clear();

  clear_members();
  clear_fields();

  // Tears down the old space with its bodies and walls first.
  wld_create_space();
  int n = wld_create_walls();
  LOG("Created %d wall shapes.", n);

  wld_started = 0;
  wld_gameover = 0;
  wld_numdead = 0;
  wld_catspawn = 0;
  wld_spawntimer = 1.0f;
  for (int q = 0; q < TRADECNT; q++) spawnqueues[q] = 0;
  wld_initialised = 1;
  wld_selected = wld_selectedcat = -1;
  taxc_silver = TAXC_START_SILVER;
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
