#include "autoplay_player.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "autoplay.h"
#include "bakeries.h"
#include "crowd.h"
#include "farms.h"
#include "huts.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_jobs.h"
#include "wld_place.h"
#include "wld_state.h"
#include "wld_walls.h"

enum { KIND_FARM, KIND_BAKERY, KIND_HUT, KIND_TAXC, KINDS };
static const char* const KIND_NAME[KINDS] = {"farm field", "bakery", "hut", "tax office"};
static const int KIND_COST[KINDS] = {20, 100, 32, 300};
static const int KIND_MARGIN[KINDS] = {2, 1, 2, 1};
static const int KIND_RING[KINDS] = {0, 1, 1, 1};  // the cursor test's extra ring
static const int HIRE_MAX[4] = {100, 20, 20, 20};

// ---- the map as the player sees it ----

static int reach[GRIDCELLS];      // steps from the first office, -1 unreachable
static int waterdist[GRIDCELLS];  // steps to the nearest reachable water edge, -1 none
static float hub_x, hub_y;        // where the fields gather: the water nearest the office

// Breadth-first step counts over passable edges from the cells in `from`.
static void walk(int* dist, const int* from, int n) {
  static int queue[GRIDCELLS];
  for (int c = 0; c < GRIDCELLS; c++) dist[c] = -1;
  int head = 0, tail = 0;
  for (int k = 0; k < n; k++) dist[from[k]] = 0, queue[tail++] = from[k];
  const int step[4] = {-1, 1, -GRIDSZ, GRIDSZ};
  const float* cost[4] = {basecostw, basecoste, basecostn, basecosts};
  while (head < tail) {
    int c = queue[head++];
    for (int k = 0; k < 4; k++) {
      int d = c + step[k];
      if (cost[k][c] >= FLT_UNDF || dist[d] >= 0) continue;
      dist[d] = dist[c] + 1;
      queue[tail++] = d;
    }
  }
}

static void survey() {
  int office = taxc_cidx[0];
  walk(reach, &office, 1);
  static int edges[GRIDCELLS];
  int n = 0, nearest = -1;
  for (int c = 0; c < GRIDCELLS; c++) {
    if (grid_celltype(wld_cellflags[c]) != WATR || reach[c] < 0) continue;
    edges[n++] = c;
    if (nearest < 0 || reach[c] < reach[nearest]) nearest = c;
  }
  walk(waterdist, edges, n);
  hub_x = nearest < 0 ? 61.0f : (float)(nearest % GRIDSZ);
  hub_y = nearest < 0 ? 59.0f : (float)(nearest / GRIDSZ);
}

static float dist_to(int c, float x, float y) { return std::hypot(c % GRIDSZ - x, c / GRIDSZ - y); }

// Mean centre of the farm fields (the hub before there are any).
static void farm_centre(float* x, float* y) {
  *x = hub_x, *y = hub_y;
  if (farms_count == 0) return;
  float sx = 0, sy = 0;
  for (int f = 0; f < farms_count; f++) sx += farms_cidx[f] % GRIDSZ, sy += farms_cidx[f] / GRIDSZ;
  *x = sx / farms_count, *y = sy / farms_count;
}

// Living and queued workers of a trade.
int autoplay_trade_count(int trade) {
  int n = spawnqueues[trade];
  for (int i = 0; i < crowd_sz; i++)
    n += crowd_trade[i] == (uint32_t)trade && crowd_goal[i] != JOB_DEAD;
  return n;
}

// ---- building ----

// Where a building goes: the reachable site the placement test accepts that
// lies nearest the target; farm fields also want water close by.
static int best_site(int kind, float tx, float ty) {
  ctrl_footprint = 3;
  ctrl_placemargin = KIND_MARGIN[kind];
  int best = -1;
  float best_score = 1e30f;
  for (int c = 0; c < GRIDCELLS; c++) {
    if (reach[c] < 0) continue;
    float score = dist_to(c, tx, ty);
    if (kind == KIND_FARM) {
      if (waterdist[c] < 0 || waterdist[c] > 8) continue;
      score += 3.0f * waterdist[c];
    }
    int top;
    if (score < best_score && wld_can_place(c % GRIDSZ, c / GRIDSZ, KIND_RING[kind], &top))
      best = c, best_score = score;
  }
  return best;
}

// Pays and places as the placement handler does: the silver is charged even
// when the module turns the building down.
static void build(int kind, float tx, float ty) {
  if (kind < 0 || kind >= KINDS) return;
  int c = best_site(kind, tx, ty);
  if (c < 0) {
    autoplay_say("no site for a %s near (%.0f, %.0f)", KIND_NAME[kind], tx, ty);
    return;
  }
  int x = c % GRIDSZ, y = c / GRIDSZ;
  bool ok = false;
  switch (kind) {
    case KIND_FARM:
      ok = farms_count < MAXFARMS && farms_add(x, y) >= 0;
      break;
    case KIND_BAKERY:
      ok = bakeries_count < MAXBAKERIES && bakeries_add(x, y) >= 0;
      if (ok) wld_walls_bakery(x, y);
      break;
    case KIND_HUT:
      ok = huts_count < MAXHUTS && huts_add(x, y) >= 0;
      if (ok) wld_walls_hut(x, y);
      break;
    case KIND_TAXC:
      ok = wld_add_taxc(x, y) >= 0;
      break;
  }
  taxc_silver -= KIND_COST[kind];
  autoplay_say("%s %s at (%d, %d), %d silver left", ok ? "built a" : "paid for a refused",
               KIND_NAME[kind], x, y, taxc_silver);
  int office = taxc_cidx[0];
  walk(reach, &office, 1);  // walls may have closed a way
}

// The build order: what, near where, and from when on the player saves for
// it. A bakery bakes at most one food in five seconds (24 silver a minute),
// so a bakery with its fields and crews pays back only after some seven
// minutes: the player starts with one, saves for a second once the first
// huts stand, and then spends on builders. Huts follow the number of workers
// (more_huts); once the first layer stands the player saves for a second
// office by the stock (after_layer).
enum { NEAR_HUB, NEAR_FARMS, NEAR_OFFICE, NEAR_PYRAMID, NEAR_STOCK };
struct plan_item {
  double from;
  int kind, near;
};
static const plan_item PLAN[] = {
    {0, KIND_FARM, NEAR_HUB},    {0, KIND_FARM, NEAR_HUB},       {0, KIND_BAKERY, NEAR_FARMS},
    {180, KIND_HUT, NEAR_FARMS}, {210, KIND_HUT, NEAR_PYRAMID},  {360, KIND_FARM, NEAR_HUB},
    {360, KIND_FARM, NEAR_HUB},  {360, KIND_BAKERY, NEAR_FARMS},
};
static const int PLANSZ = (int)(sizeof PLAN / sizeof PLAN[0]);
static int plan_next;

// Workers tire where they deliver: builders at the pyramid, the field crews
// at the farms and bakeries. Huts go round the pyramid and by the fields.
static const float PYRAMID_SIDES[][2] = {{54, 70}, {44, 80}, {42, 56},
                                         {30, 68}, {55, 80}, {55, 58}};
static const int SIDES = (int)(sizeof PYRAMID_SIDES / sizeof PYRAMID_SIDES[0]);
static int pyramid_huts, field_huts;

static void target_of(int near, float* x, float* y) {
  *x = hub_x, *y = hub_y;
  switch (near) {
    case NEAR_HUB:
      *y += 4;
      return;
    case NEAR_FARMS:
      farm_centre(x, y), *y += 3;
      return;
    case NEAR_OFFICE:
      *x = 61, *y = 66;
      return;
    case NEAR_PYRAMID: {
      const float* p = PYRAMID_SIDES[pyramid_huts++ % SIDES];
      *x = p[0], *y = p[1];
      return;
    }
    case NEAR_STOCK:
      *x = 112, *y = 114;
      return;
  }
}

static bool due() { return plan_next < PLANSZ && PLAN[plan_next].from <= autoplay_time(); }

// True while the player saves for a due item of the plan.
static bool saving() {
  while (due()) {
    if (taxc_silver < KIND_COST[PLAN[plan_next].kind]) return true;
    float x, y;
    target_of(PLAN[plan_next].near, &x, &y);
    build(PLAN[plan_next].kind, x, y);
    plan_next++;
  }
  return false;
}

// A hut for every 50 builders and every 40 of the food chain's crews, beyond
// the first two; true while saving for one.
static bool more_huts() {
  if (due() || huts_count < 2) return false;
  int crews = autoplay_trade_count(1) + autoplay_trade_count(2) + autoplay_trade_count(3);
  if (huts_count >= 2 + autoplay_trade_count(0) / 50 + crews / 40) return false;
  if (taxc_silver < KIND_COST[KIND_HUT]) return true;
  bool fields = field_huts * 40 < crews;
  field_huts += fields;
  float x, y;
  target_of(fields ? NEAR_FARMS : NEAR_PYRAMID, &x, &y);
  build(KIND_HUT, x, y);
  return false;
}

// With the first layer standing, an office by the stock, so that new
// builders start near the blocks; true while saving for it.
static bool after_layer() {
  if (stones_pyramid_level == 7 || taxc_count >= 2) return false;
  if (taxc_silver < KIND_COST[KIND_TAXC]) return true;
  float x, y;
  target_of(NEAR_STOCK, &x, &y);
  build(KIND_TAXC, x, y);
  return false;
}

// ---- hiring ----

// The hire panel and its go button: one silver a worker, at most the panel's
// maximum per trade at a time, only once a farm field and a bakery stand.
static void hire(const int want[4]) {
  if (taxc_silver < 1 || farms_count == 0 || bakeries_count == 0) return;
  int n[4], total = 0;
  for (int t = 0; t < 4; t++) {
    n[t] = want[t] < 0 ? 0 : want[t] > HIRE_MAX[t] ? HIRE_MAX[t] : want[t];
    if (total + n[t] > taxc_silver) n[t] = taxc_silver - total;
    total += n[t];
  }
  if (total == 0) return;
  taxc_silver -= total;
  static const char* const TRADE_NAME[4] = {"builder", "irrigation worker", "field worker",
                                            "servant"};
  char what[AUTOPLAY_LINESZ] = "";
  for (int t = 0; t < 4; t++) {
    spawnqueues[t] += n[t], autoplay_hired[t] += n[t];
    if (n[t] > 0)
      snprintf(what + strlen(what), sizeof what - strlen(what), "%s%d %s%s", what[0] ? ", " : "",
               n[t], TRADE_NAME[t], n[t] == 1 ? "" : "s");
  }
  autoplay_say("hired %s; %d silver left", what, taxc_silver);
}

// The food chain's crews follow the buildings; builders take what is left,
// a batch at a time.
static void hire_workers(bool keep) {
  int want[4] = {0, 0, 0, 0};
  want[1] = (5 * farms_count + 1) / 2 - autoplay_trade_count(1);
  want[2] = 9 * bakeries_count - autoplay_trade_count(2);
  want[3] = 14 * bakeries_count + 2 * huts_count - autoplay_trade_count(3);
  int chain = 0;
  for (int t = 1; t < 4; t++) chain += want[t] > 0 ? want[t] : 0;
  if (!keep && taxc_silver - chain >= 20) want[0] = taxc_silver - chain;
  if (chain >= 3 || want[0] > 0) hire(want);
}

// ---- the pyramid ----

// Once a layer is finished the next one is marked, cell by cell as an area
// drag would, skipping cells the placement test refuses.
static void mark_next_layer() {
  int layer = 7 - stones_pyramid_level;
  if (layer < 1 || layer > 6 || nummarks > 0) return;
  ctrl_footprint = 1;
  ctrl_placemargin = 1;
  int marked = 0, top;
  for (int y = 62 + layer; y <= 74 - layer; y++)
    for (int x = 36 + layer; x <= 48 - layer; x++) {
      int c = y * GRIDSZ + x;
      if (grid_celltype(wld_cellflags[c]) == MARK || !wld_can_place(x, y, 0, &top)) continue;
      stones_toggle_mark(c);
      marked += grid_celltype(wld_cellflags[c]) == MARK;
    }
  autoplay_say("marked %d cells of pyramid layer %d", marked, layer + 1);
}

// ---- the player ----

void autoplay_player_start() {
  plan_next = 0;
  pyramid_huts = 0;
  field_huts = 1;  // the plan's
  survey();
}

void autoplay_decide() {
  bool keep = saving();
  keep = more_huts() || keep;
  keep = after_layer() || keep;
  hire_workers(keep);
  mark_next_layer();
}
