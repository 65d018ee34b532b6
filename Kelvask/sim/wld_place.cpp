#include "wld_place.h"

#include <cmath>
#include <cstdio>

#include "cats.h"
#include "crowd.h"
#include "msgwords.h"
#include "notify.h"
#include "wld.h"
#include "wld_jobs.h"
#include "wld_physics.h"
#include "wld_state.h"

#define WLD_FAR 1000.0f  // distance standing for "nothing near"

static bool on_grid(int x, int y) { return x >= 0 && x < GRIDSZ && y >= 0 && y < GRIDSZ; }

// Types that forbid building; marks only forbid buildings, since an area of
// marks may be toggled over existing marks.
static bool type_blocks(int type, bool marks) {
  if (type == MARK) return !marks;
  return type == STCK || (type >= WATR && type <= REST) || type == BLDG;
}

bool wld_can_place(int x, int y, int ring, int* maxheight) {
  if (!on_grid(x, y)) return false;
  int h0 = wld_height[y * GRIDSZ + x];
  bool ok = h0 > 0;
  // A footprint of side n covers lo .. lo + n - 1 around the centre.
  int lo = -((ctrl_footprint - 1) / 2), hi = lo + ctrl_footprint - 1;
  bool marks = ctrl_footprint == 1;
  for (int dy = lo - ring; dy <= hi + ring; dy++)
    for (int dx = lo - ring; dx <= hi + ring; dx++) {
      int cx = x + dx, cy = y + dy;
      if (!on_grid(cx, cy) || type_blocks(grid_celltype(wld_cellflags[cy * GRIDSZ + cx]), marks))
        ok = false;
    }
  int top = h0;
  for (int dy = lo; dy <= hi; dy++)
    for (int dx = lo; dx <= hi; dx++) {
      int cx = x + dx, cy = y + dy;
      if (!on_grid(cx, cy)) continue;
      int h = wld_height[cy * GRIDSZ + cx];
      if (h > top) top = h;
      if (h - h0 > ctrl_placemargin || h0 - h > ctrl_placemargin) ok = false;
    }
  *maxheight = top;
  return ok;
}

// The living, non-resting worker nearest to (x, y): its index and squared
// distance, -1 when none is nearer than WLD_FAR squared.
static int nearest_worker(float x, float y, float* dist2) {
  int best = -1;
  float bestd = WLD_FAR;
  for (int i = 0; i < crowd_sz; i++) {
    if (!wld_bodies[i] || crowd_goal[i] == JOB_RESTING) continue;
    cpVect p = cpBodyGetPosition(wld_bodies[i]);
    float dx = (float)p.x - x, dy = (float)p.y - y;
    float d = dx * dx + dy * dy;
    if (d < bestd) bestd = d, best = i;
  }
  *dist2 = bestd;
  return best;
}

bool wld_pick(float x, float y) {
  float d2;
  int w = nearest_worker(x, y, &d2);
  float dw = sqrtf(d2);
  float dc = WLD_FAR;
  int c = cats_nearest(x, y, &dc);
  if (dw < WLD_PICKRANGE && dw < dc) {
    wld_selected = w;
    return true;
  }
  if (dc < WLD_PICKRANGE && dw > dc) {
    char msg[128];
    snprintf(msg, sizeof msg, MSG_PLAYFX " nm=%s x=%f y=%f z=%f", "meow", x, y, 0.0);
    notify_post(msg);
    wld_selectedcat = c;
    return true;
  }
  wld_selected = wld_selectedcat = -1;
  return false;
}

// The selected cat's body, else the selected worker's; null without one.
cpBody* wld_selected_body() {
  if (wld_selectedcat >= 0)
    return wld_selectedcat < cats_count ? cats_body[wld_selectedcat] : nullptr;
  if (wld_selected >= 0 && wld_selected < crowd_sz) return wld_bodies[wld_selected];
  return nullptr;
}

static double clamp_coord(double v) { return v < 0.0 ? 0.0 : v > GRIDSZ - 1 ? GRIDSZ - 1 : v; }

bool wld_drag_selected(float dx, float dy) {
  if (wld_selected < 0 && wld_selectedcat < 0) return false;
  cpBody* body = wld_selected_body();
  if (!body) return false;
  cpVect p = cpBodyGetPosition(body);
  cpBodySetPosition(body, cpv(clamp_coord(p.x + dx), clamp_coord(p.y + dy)));
  return true;
}
