#include "wld_physics.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "cats.h"
#include "grid.h"
#include "log.h"
#include "wld.h"
#include "wld_walls.h"

cpSpace* wld_space = nullptr;
cpBody* wld_bodies[CROWDSZ];
cpShape* wld_shapes[CROWDSZ];

void wld_create_space() {
  // A restart without a crowd reaches here with the old space still standing;
  // its walls would otherwise block every wall of the new one.
  if (wld_space) wld_exit();
  wld_space = cpSpaceInit(cpSpaceAlloc());
  cpSpaceSetIterations(wld_space, 5);
}

bool wld_add_body(int i, float x, float y) {
  if (i < 0 || i >= CROWDSZ) {
    LOG("ERR No crowd member %d to add a body for", i);
    return false;
  }
  if (!std::isfinite(x) || !std::isfinite(y)) {
    LOG("ERR Body of member %d refused at a position that is not finite", i);
    return false;
  }
  if (!wld_space) {
    LOG("ERR No physics space for the body of member %d", i);
    return false;
  }
  if (wld_bodies[i]) {
    LOG("ERR Member %d already has a body", i);
    return false;
  }
  wld_new_circle(1.0, 0.3, x, y, &wld_bodies[i], &wld_shapes[i]);
  return true;
}

// Members a cell keeps where they stand at a load. Workers spawned at a
// door that a crowd of thousands jams pile up in its cell (84 seen), and a
// saved game of play must load as it was; a crowd stacked far past that on
// one spot would give the physics a contact for every pair of its members,
// frame after frame.
#define CELLKEEPS 128
// The members beyond that stand in cells of their own region, two to a cell
// on its diagonal, where none of them touches another.
#define CELLSPREAD 2

// The loaded members cell by cell, and a breadth-first search from an
// overflowing cell that goes on where it stopped while that cell overflows.
struct Spread {
  uint16_t count[GRIDCELLS];
  int32_t first[GRIDCELLS];  // a chain of the cell's members through next, -1 ends it
  int32_t next[CROWDSZ];
  int32_t queue[GRIDCELLS];
  uint8_t seen[GRIDCELLS];
  int head, tail, from;
  uint8_t anyside;  // OPEN_* bits crossed whatever the walls say
};
static Spread spread;

static int cell_of(float x, float y) {
  const int cx = std::clamp((int)std::floor(x), 0, GRIDSZ - 1);
  const int cy = std::clamp((int)std::floor(y), 0, GRIDSZ - 1);
  return grid_cidx(cx, cy);
}

static bool spot_taken(const Spread& s, int c, float x, float y) {
  for (int j = s.first[c]; j >= 0; j = s.next[j])
    if (crowd_posx[j] == x && crowd_posy[j] == y) return true;
  return false;
}

static void search_from(Spread* s, int c, uint8_t anyside) {
  memset(s->seen, 0, sizeof s->seen);
  s->head = s->tail = 0;
  s->queue[s->tail++] = c;
  s->seen[c] = 1;
  s->from = c;
  s->anyside = anyside;
}

// The nearest cell with room that a member of cell c could walk to; when
// all of those are full, the nearest one at all.
static int cell_with_room(Spread* s, int c) {
  static const int step[4] = {-1, 1, -GRIDSZ, GRIDSZ};  // OPEN_W, OPEN_E, OPEN_N, OPEN_S
  if (c != s->from) search_from(s, c, 0);
  for (;;) {
    while (s->head < s->tail) {
      const int q = s->queue[s->head];
      if (s->count[q] < CELLSPREAD) return q;
      s->head++;
      const int open = (wld_cellflags[q] | s->anyside) & 0x0f;
      for (int k = 0; k < 4; k++) {
        const int n = q + step[k];
        if ((open & (1 << k)) && n >= 0 && n < GRIDCELLS && !s->seen[n]) {
          s->seen[n] = 1;
          s->queue[s->tail++] = n;
        }
      }
    }
    ASSERT(s->anyside == 0);  // the whole grid holds far more than a crowd
    search_from(s, c, 0x0f);
  }
}

void wld_add_loaded_bodies() {
  Spread* s = &spread;
  std::fill_n(s->count, GRIDCELLS, 0);
  std::fill_n(s->first, GRIDCELLS, -1);
  s->from = -1;
  int moved = 0;
  for (int i = 0; i < crowd_sz; i++) {
    float x = crowd_posx[i], y = crowd_posy[i];
    int c = cell_of(x, y);
    if (s->count[c] >= CELLKEEPS) {
      c = cell_with_room(s, c);
      // One of the two spots that is free: the cell holds fewer members.
      for (int k = s->count[c];; k++) {
        x = c % GRIDSZ + 0.25f + 0.5f * (k % 2);
        y = c / GRIDSZ + 0.25f + 0.5f * (k % 2);
        if (!spot_taken(*s, c, x, y)) break;
      }
      crowd_posx[i] = x, crowd_posy[i] = y;
      moved++;
    }
    s->next[i] = s->first[c];
    s->first[c] = i;
    s->count[c]++;
    const bool added = wld_add_body(i, x, y);  // the positions passed the loader's checks
    ASSERT(added);
  }
  if (moved > 0)
    LOG("%d members packed tighter than play packs them spread over the cells nearby.", moved);
}

void wld_move_body(int i, float x, float y) {
  crowd_posx[i] = x;
  crowd_posy[i] = y;
  cpBodySetPosition(wld_bodies[i], cpv(x, y));
  cpBodyActivate(wld_bodies[i]);
  cpBodySetVelocity(wld_bodies[i], cpvzero);
}

bool wld_shut_cell(uint8_t f) { return f > 0x0f && (f & 0x0f) == 0; }

int wld_free_shut_members() {
  int moved = 0;
  for (int i = 0; i < crowd_sz; i++) {
    if (!wld_bodies[i] || i == wld_selected) continue;
    const cpVect p = cpBodyGetPosition(wld_bodies[i]);
    const float x = (float)p.x, y = (float)p.y;
    if (!wld_shut_cell(wld_cellflags[grid_cidx(wld_grid_coord(x), wld_grid_coord(y))])) continue;
    const int c = wld_nearest_cell(wld_cellflags, 0x0f, x, y);
    if (c < 0) continue;
    // Into that cell as little as the body's radius lets it stand clear of its walls.
    const float cx = (float)(c % GRIDSZ), cy = (float)(c / GRIDSZ);
    wld_move_body(i, std::clamp(x, cx + 0.3f, cx + 0.7f), std::clamp(y, cy + 0.3f, cy + 0.7f));
    moved++;
  }
  return moved;
}

void wld_new_circle(double mass, double radius, float x, float y, cpBody** body, cpShape** shape) {
  ASSERT(wld_space);
  *body = cpBodyNew(mass, cpMomentForCircle(1.0, 0.0, 0.2, cpvzero));
  cpBodySetPosition(*body, cpv(x, y));
  cpBodySetAngle(*body, -M_PI / 2);
  *shape = cpCircleShapeNew(*body, radius, cpvzero);
  cpShapeSetFriction(*shape, 0.7);
  cpSpaceAddBody(wld_space, *body);
  cpSpaceAddShape(wld_space, *shape);
}

int wld_remove_bodies() {
  LOG("Removing %d crowd bodies and shapes.", crowd_sz);
  int n = 0;
  for (int i = 0; i < CROWDSZ; i++) n += wld_remove_body(i);
  return n;
}

bool wld_remove_body(int i) {
  ASSERT(i >= 0 && i < CROWDSZ);
  if (!wld_bodies[i]) return false;
  cpSpaceRemoveShape(wld_space, wld_shapes[i]);
  cpSpaceRemoveBody(wld_space, wld_bodies[i]);
  cpShapeFree(wld_shapes[i]);
  cpBodyFree(wld_bodies[i]);
  wld_shapes[i] = nullptr;
  wld_bodies[i] = nullptr;
  return true;
}

void wld_exit() {
  wld_remove_bodies();
  int n = wld_clear_walls();
  LOG("Cleared %d wall shapes.", n);
  n = cats_destroy_bodies();
  LOG("Cleared %d cats shapes/bodies.", n);
  LOG("Freeing cpSpace.");
  if (wld_space) {
    cpSpaceFree(wld_space);
    wld_space = nullptr;
  }
}
