#include "cats.h"

#include <cmath>
#include <cstring>

#include "crowd.h"
#include "log.h"
#include "savefile.h"
#include "wld.h"
#include "wld_fields.h"
#include "wld_physics.h"
#include "wld_poses.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the save block is little-endian");

#define CELLMASK (GRIDCELLS - 1)

int32_t cats_count;
float cats_pos[MAXCATS][3];
cpBody* cats_body[MAXCATS];
cpShape* cats_shape[MAXCATS];
int32_t cats_cidx[MAXCATS];
float cats_dirx[MAXCATS];
float cats_diry[MAXCATS];
uint32_t cats_walking[MAXCATS];
float cats_sittime[MAXCATS];
float cats_phase[MAXCATS];
float cats_trfs[MAXCATS][16];

int32_t cats_tgt_count;
int32_t cats_tgt[MAXCATTGTS];
float cats_tgt_value[MAXCATTGTS];
int32_t cats_tgt_cursor;
uint8_t cats_cellcount[GRIDCELLS];

// The cats' own generator, so the mover's pool thread shares no state with
// anyone else's random numbers. Target picking (main thread) and the mover
// never run at the same time.
#define CATS_SEED 0x2545f491u
uint32_t cats_rng = CATS_SEED;

static uint32_t cats_random() {
  cats_rng ^= cats_rng << 13;
  cats_rng ^= cats_rng >> 17;
  cats_rng ^= cats_rng << 5;
  return cats_rng;
}

static int cat_cell(int i) {
  return wld_grid_coord(cats_pos[i][1]) * GRIDSZ + wld_grid_coord(cats_pos[i][0]);
}

static bool on_target(int c) { return grid_celltype(wld_catflags[c]) == CATT; }

// Every record but the bodies.
static void clear_records() {
  cats_count = 0;
  cats_tgt_count = 0;
  cats_tgt_cursor = 0;
  memset(cats_pos, 0, sizeof cats_pos);
  memset(cats_cidx, 0, sizeof cats_cidx);
  memset(cats_dirx, 0, sizeof cats_dirx);
  memset(cats_diry, 0, sizeof cats_diry);
  memset(cats_walking, 0, sizeof cats_walking);
  memset(cats_sittime, 0, sizeof cats_sittime);
  memset(cats_phase, 0, sizeof cats_phase);
  memset(cats_trfs, 0, sizeof cats_trfs);
  memset(cats_tgt, 0, sizeof cats_tgt);
  memset(cats_tgt_value, 0, sizeof cats_tgt_value);
  memset(cats_cellcount, 0, sizeof cats_cellcount);
}

void cats_reset() {
  cats_destroy_bodies();
  clear_records();
  cats_rng = CATS_SEED;
}

int cats_add(float x, float y, float z) {
  if (cats_count >= MAXCATS) {
    LOG("ERR No room for another cat, %d exist.", cats_count);
    return -1;
  }
  int i = cats_count++;
  cats_pos[i][0] = x;
  cats_pos[i][1] = y;
  cats_pos[i][2] = z;
  cats_cidx[i] = cat_cell(i);
  cats_dirx[i] = cats_diry[i] = 0.0f;
  cats_walking[i] = 1;
  cats_sittime[i] = 0.0f;
  cats_phase[i] = 0.0f;
  return i;
}

int cats_create_bodies() {
  int n = 0;
  for (int i = 0; i < cats_count; i++) {
    if (cats_body[i]) continue;
    if (!wld_space) {
      LOG("ERR No physics space for the bodies of the cats.");
      return n;
    }
    float x = cats_pos[i][0], y = cats_pos[i][1];
    if (!std::isfinite(x) || !std::isfinite(y)) {
      LOG("ERR Cat %d left without a body: its position is not finite.", i);
      continue;
    }
    wld_new_circle(0.4, 0.18, x, y, &cats_body[i], &cats_shape[i]);
    n++;
  }
  return n;
}

int cats_destroy_bodies() {
  int n = 0;
  for (int i = 0; i < MAXCATS; i++) {
    if (cats_shape[i]) {
      if (cpSpace* s = cpShapeGetSpace(cats_shape[i])) cpSpaceRemoveShape(s, cats_shape[i]);
      cpShapeFree(cats_shape[i]);
      cats_shape[i] = nullptr;
    }
    if (cats_body[i]) {
      if (cpSpace* s = cpBodyGetSpace(cats_body[i])) cpSpaceRemoveBody(s, cats_body[i]);
      cpBodyFree(cats_body[i]);
      cats_body[i] = nullptr;
      n++;
    }
  }
  return n;
}

int cats_nearest(float x, float y, float* dist) {
  int best = -1;
  float bestsq = 1e10f;
  for (int i = 0; i < cats_count; i++) {
    float dx = cats_pos[i][0] - x, dy = cats_pos[i][1] - y;
    float sq = dx * dx + dy * dy;
    if (sq < bestsq) {
      bestsq = sq;
      best = i;
    }
  }
  if (best >= 0) *dist = sqrtf(bestsq);
  return best;
}

void cats_update_heights() {
  for (int i = 0; i < cats_count; i++) {
    int c = cat_cell(i);
    cats_cidx[i] = c;
    cats_pos[i][2] = crowd_ground_height(c, crowd_cell_fraction(cats_pos[i][0]),
                                         crowd_cell_fraction(cats_pos[i][1]));
  }
}

// No wall holds a cat off the land: one standing there (pushed or dragged
// into the water, say) would follow the flow of the nearest edge cell away
// from the site. It comes back to the middle of the nearest land cell, in
// play as at a load, so a load finds every cat where play left it.
static bool put_on_land(float* p) {
  const bool on_grid = p[0] >= 0.0f && p[0] < GRIDSZ && p[1] >= 0.0f && p[1] < GRIDSZ;
  if (on_grid && wld_height[grid_cidx((int)p[0], (int)p[1])] > 0) return true;
  const int c = wld_nearest_cell(wld_height, 0xff, p[0], p[1]);
  if (c < 0) return false;
  p[0] = c % GRIDSZ + 0.5f;
  p[1] = c / GRIDSZ + 0.5f;
  p[2] = grid_z(wld_height[c]);
  return true;
}

void cats_update_poses(float dt) {
  for (int i = 0; i < cats_count; i++) {
    cpBody* b = cats_body[i];
    if (!b) continue;
    cpVect p = cpBodyGetPosition(b), rot = cpBodyGetRotation(b);
    float at[3] = {(float)p.x, (float)p.y, cats_pos[i][2]};
    if (put_on_land(at) && (at[0] != (float)p.x || at[1] != (float)p.y)) {
      p = cpv(at[0], at[1]);
      cpBodySetPosition(b, p);
      cpBodySetVelocity(b, cpvzero);
      cats_pos[i][2] = at[2];
    }
    cats_pos[i][0] = (float)p.x;
    cats_pos[i][1] = (float)p.y;
    float speed = (float)cpvlength(cpBodyGetVelocity(b));
    float anim = fmaxf(speed, fminf(1.5f, 1.5f * fabsf((float)cpBodyGetAngularVelocity(b))));
    wld_advance_phase(&cats_phase[i], anim * 17.0f * dt);
    float s = wld_parabolic_sine(cats_phase[i]);
    float hop = cats_walking[i] ? fabsf(s) * 0.02f : 0.0f;
    float swing = cats_walking[i] ? s * anim * 0.8f : 0.0f;
    float c = (float)rot.x, n = (float)rot.y;
    const float m[16] = {c,
                         n,
                         0,
                         0,
                         -n,
                         c,
                         0,
                         0,
                         0,
                         0,
                         1,
                         0,
                         cats_pos[i][0],
                         cats_pos[i][1],
                         cats_pos[i][2] + hop,
                         swing};
    for (int e = 0; e < 16; e++) cats_trfs[i][e] = m[e];
  }
}

static bool is_target(int worker) {
  for (int t = 0; t < cats_tgt_count; t++)
    if (cats_tgt[t] == worker) return true;
  return false;
}

int cats_add_target() {
  // The world keeps one target per five workers, so a free worker exists and
  // the draw below ends.
  ASSERT(cats_tgt_count < crowd_sz);
  if (cats_tgt_count >= MAXCATTGTS) return -1;
  int worker;
  do worker = (int)(cats_random() % (uint32_t)crowd_sz);
  while (is_target(worker));
  cats_tgt[cats_tgt_count] = worker;
  cats_tgt_value[cats_tgt_count] = 0.0f;
  cats_tgt_count++;
  return worker;
}

void cats_remove_target() {
  int t = cats_tgt_cursor;
  ASSERT(t >= 0);
  ASSERT(t < cats_tgt_count);
  int last = --cats_tgt_count;
  cats_tgt[t] = cats_tgt[last];
  cats_tgt_value[t] = cats_tgt_value[last];
}

static void count_cats_per_cell() {
  memset(cats_cellcount, 0, sizeof cats_cellcount);
  for (int i = 0; i < cats_count; i++) {
    uint8_t& n = cats_cellcount[cats_cidx[i] & CELLMASK];
    if (n < 255) n++;  // 256 cats on one cell must not read as none
  }
}

// Cats on cell (x, y); none off the grid.
static int cats_on(int x, int y) {
  if (x < 0 || y < 0 || x >= GRIDSZ || y >= GRIDSZ) return 0;
  return cats_cellcount[y * GRIDSZ + x];
}

static float crowding(int c) {
  int x = c % GRIDSZ, y = c / GRIDSZ;
  int sides = cats_on(x - 1, y) + cats_on(x + 1, y) + cats_on(x, y - 1) + cats_on(x, y + 1);
  int corners =
      cats_on(x - 1, y - 1) + cats_on(x + 1, y - 1) + cats_on(x - 1, y + 1) + cats_on(x + 1, y + 1);
  return (float)(5 * cats_on(x, y) + 3 * sides + 2 * corners);
}

static int target_cell(int t) { return crowd_cidx[cats_tgt[t]] & CELLMASK; }

void cats_build_target_field() {
  count_cats_per_cell();
  for (int t = 0; t < cats_tgt_count; t++)
    cats_tgt_value[t] = 0.9f * cats_tgt_value[t] + crowding(target_cell(t)) * -2.0f * 0.1f;
  memset(wld_catweight, 0, sizeof wld_catweight);
  for (int t = 0; t < cats_tgt_count; t++) {
    int c = target_cell(t);
    wld_catweight[c] += cats_tgt_value[t];
    wld_catflags[c] = grid_with_celltype(wld_catflags[c], CATT);
  }
}

static void sit_down(int i) {
  cats_walking[i] = 0;
  cats_sittime[i] = 0.1f;
  if ((cats_random() & 15) < 5) cats_sittime[i] += (float)(8 + (cats_random() & 15));
}

static float wrap_angle(float a) {
  if (a < -(float)M_PI) a += 2.0f * (float)M_PI;
  if (a > (float)M_PI) a -= 2.0f * (float)M_PI;
  return a;
}

static void steer(cpBody* body, float dx, float dy) {
  cpBodyActivate(body);
  if (dx * dx + dy * dy < 0.001f) {
    cpBodySetVelocity(body, cpvzero);
    cpBodySetAngularVelocity(body, 0.0);
    return;
  }
  double len;
  cpVect v = wld_steer_blend(cpBodyGetVelocity(body), cpv(dx, dy), &len);
  v = cpvmult(v, 1.6 / len);
  cpVect rot = cpBodyGetRotation(body);
  float error = wrap_angle(wld_fast_atan2(dy, dx) - wld_fast_atan2((float)rot.y, (float)rot.x));
  if (fabsf(error) > 0.5f * (float)M_PI) v = cpvzero;  // turn on the spot first
  cpBodySetVelocity(body, v);
  cpBodySetAngularVelocity(body, 2.0 * error);
}

// One target per call, in turn: a target too crowded with cats is dropped.
static void check_next_target() {
  if (cats_tgt_count <= 0) return;
  if (++cats_tgt_cursor >= cats_tgt_count) cats_tgt_cursor = 0;
  if (cats_tgt_value[cats_tgt_cursor] < -15.0f) cats_remove_target();
}

void cats_update(float dt, const float* flowx, const float* flowy, const float* costw,
                 const float* coste, const float* costn, const float* costs) {
  for (int i = 0; i < cats_count; i++) {
    int c = cat_cell(i);
    cats_cidx[i] = c;
    bool target = on_target(c);
    float dx = 0.0f, dy = 0.0f;
    // Field 9's direction, blended as a worker blends its field's.
    if (!target)
      crowd_flow_at(c, crowd_cell_fraction(cats_pos[i][0]), crowd_cell_fraction(cats_pos[i][1]),
                    flowx, flowy, costw, coste, costn, costs, &dx, &dy);
    if (cats_walking[i]) {
      if (target) sit_down(i);
    } else {
      cats_sittime[i] -= dt;
      dx = dy = 0.0f;
      if (cats_sittime[i] <= 0.0f && !target) cats_walking[i] = 1;
    }
    if (!std::isfinite(dx) || !std::isfinite(dy)) dx = dy = 0.0f;  // never into the physics
    cats_dirx[i] = dx;
    cats_diry[i] = dy;
    if (cats_body[i]) steer(cats_body[i], dx, dy);
  }
  check_next_target();
}

static bool cats_write(FILE* txt, FILE* bin) {
  save_write_int(txt, "cats_count", cats_count);
  if (fwrite(cats_pos, sizeof cats_pos, 1, bin) != 1) {
    LOG("ERR Could not write the positions of the cats.");
    return false;
  }
  return true;
}

static bool position_ok(const float* p) {
  return std::isfinite(p[0]) && std::isfinite(p[1]) && std::isfinite(p[2]);
}

static bool blank(const float* p) { return p[0] == 0.0f && p[1] == 0.0f && p[2] == 0.0f; }

static bool cats_read(FILE* txt, FILE* bin) {
  int n;
  float staged[MAXCATS][3];
  if (!save_read_count(txt, "cats_count", 0, MAXCATS, &n)) return false;
  if (!save_read_block(bin, "cats_pos", staged, sizeof staged)) return false;
  for (int i = 0; i < n; i++) {
    if (!position_ok(staged[i])) {
      LOG("ERR Saved cat %d stands at (%f, %f, %f).", i, staged[i][0], staged[i][1], staged[i][2]);
      return false;
    }
  }
  // The save writes the records past the count as zeros. A cat below it may
  // stand at zeros too: one dragged into the corner of the grid does.
  for (int i = n; i < MAXCATS; i++)
    if (!blank(staged[i])) {
      LOG("ERR Saved game: cats_count %d does not match the cat records.", n);
      return false;
    }
  for (int i = 0; i < n; i++)
    if (!put_on_land(staged[i])) {
      LOG("ERR Saved cat %d has no land to stand on.", i);
      return false;
    }
  // Targets name workers of the crowd that was there before. The bodies stay
  // until the whole pair is taken: a refused one leaves them moving.
  clear_records();
  memcpy(cats_pos, staged, n * sizeof staged[0]);
  cats_count = n;
  for (int i = 0; i < n; i++) cats_cidx[i] = cat_cell(i);
  return true;
}

bool cats_serialize(int out, FILE* txt, FILE* bin) {
  if (!txt || !bin) {
    LOG("ERR No save streams for the cats.");
    return false;
  }
  return out ? cats_write(txt, bin) : cats_read(txt, bin);
}
