#include "wld_update.h"

#include <cstdio>
#include <cstring>

#include "bakeries.h"
#include "cats.h"
#include "farms.h"
#include "grain.h"
#include "huts.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_fields.h"
#include "wld_init.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_place.h"
#include "wld_poses.h"
#include "wld_state.h"

// A cat at the next office, in the middle of the spawn cell.
static void spawn_cat() {
  float x, y;
  wld_next_spawn_point(&x, &y);
  int cx = (int)x, cy = (int)y;
  cats_add(cx + 0.5f, cy + 0.5f, grid_z(wld_height[grid_cidx(cx, cy)]));
  cats_create_bodies();
}

bool wld_update_spawning(float dt) {
  if (wld_spawntimer > 0.0f) wld_spawntimer -= dt;
  if (wld_spawntimer > 0.0f) return false;
  for (int q = 0; q < TRADECNT; q++) {
    if (spawnqueues[q] <= 0) continue;
    spawnqueues[q]--;
    bool spawned = wld_spawn(q) >= 0;
    // More offices, more doors to come out of.
    wld_spawntimer += 0.5f / (float)(taxc_count > 0 ? taxc_count : 1);
    return spawned;
  }
  if (wld_catspawn > 0) {
    wld_catspawn--;
    spawn_cat();
  }
  return false;
}

bool wld_follow_selected() {
  if (wld_selected < 0 && wld_selectedcat < 0) return false;
  cpBody* body = wld_selected_body();
  if (!body) {
    wld_selected = wld_selectedcat = -1;
    return true;
  }
  cpBodyActivate(body);
  cpBodySetVelocity(body, cpvzero);
  cpVect p = cpBodyGetPosition(body);
  int cx = (int)p.x, cy = (int)p.y;
  bool on_grid = cx >= 0 && cx < GRIDSZ && cy >= 0 && cy < GRIDSZ;
  spiral_centre[0] = (float)p.x;
  spiral_centre[1] = (float)p.y;
  spiral_centre[2] = on_grid ? grid_z(wld_height[grid_cidx(cx, cy)]) : 0.0f;
  return true;
}

// The share of the crowd that may die, in percent, by difficulty.
static const int32_t DEATH_PERCENT[3] = {40, 20, 5};

int32_t wld_death_limit(int32_t difficulty, int32_t crowd) {
  return difficulty >= 0 && difficulty < 3 ? crowd * DEATH_PERCENT[difficulty] / 100 : 0;
}

bool wld_critical_dead(int32_t* percent) {
  if (ctrl_difficulty >= 0 && ctrl_difficulty < 3) *percent = DEATH_PERCENT[ctrl_difficulty];
  const int limit = wld_death_limit(ctrl_difficulty, crowd_sz);
  if (wld_numdead <= limit * 9 / 10) return false;
  LOG("Warning about critical dead at %d. Now at %d", limit, wld_numdead);
  return true;
}

// One target and one cat per five workers, rounded up.
static void update_cats() {
  int n = (crowd_sz + 4) / 5;
  if (cats_tgt_count < n) cats_add_target();
  if (cats_count < n && cats_count < MAXCATS) wld_catspawn = 1;
  memcpy(wld_catflags, wld_cellflags, sizeof wld_catflags);
  cats_build_target_field();
}

static void step_pyramid_level() {
  int level = stones_compute_pyramid_level(wld_height);
  if (level >= stones_pyramid_level) return;
  LOG("level completed %d", level);
  if (level == 6) notify_post(MSG_ACHIEVEMENT " name=a_fundamentalist");
  stones_pyramid_level = level;
}

static void step_production() {
  step_pyramid_level();
  farms_update(WLD_STEP);
  bakeries_update(WLD_STEP);
  huts_update(WLD_STEP, crowd_goal);
  taxc_update();
}

static void post_stat(const char* name, int value) {
  char msg[128];
  snprintf(msg, sizeof msg, MSG_STEAMINTSTAT " name=%s val=%d", name, value);
  notify_post(msg);
}

static void update_stats(double dt) {
  wld_stattimer = (float)(wld_stattimer + dt);
  if (wld_stattimer <= WLD_STATPERIOD || sdlmain_cheat) return;
  wld_stattimer = 0.0f;
  post_stat("s_dead", wld_numdead);
  post_stat("s_alive", crowd_sz - wld_numdead);
  post_stat("s_farms", farms_count_watered());
  post_stat("s_hires", crowd_sz);
  post_stat("s_silver", taxc_silver);
  wld_statcount++;
  if (wld_statcount % 4 == 0) notify_post(MSG_STEAMSYNC);
}

bool wld_update_begin(double dt) {
  wld_dt = dt;
  if (!wld_started) return false;
  wld_age += dt;
  wld_update_spawning((float)dt);
  wld_update_fields();
  wld_follow_selected();
  return true;
}

void wld_update_bodies(int32_t steps) {
  for (int s = 0; s < steps; s++) {
    wld_steer_bodies();
    cpSpaceStep(wld_space, (double)WLD_STEP);
  }
  wld_free_shut_members();
}

void wld_update_finish(int32_t steps, double dt) {
  update_cats();
  for (int s = 0; s < steps; s++) step_production();
  wld_update_fatigue(dt);
  wld_run_jobs();
  if (grain_count_in_use() > 0 && bakeries_count == 0) notify_post(MSG_MISSINGBAKERY);
  update_stats(dt);
  // What the frame's drawing shows, and the positions the next update reads.
  wld_update_poses((float)dt);
}

void wld_update(int32_t steps, double dt) {
  if (!wld_update_begin(dt)) return;
  wld_update_bodies(steps);
  wld_update_finish(steps, dt);
}
