#include "hire.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "log.h"
#include "notify.h"
#include "taxc.h"

int32_t hire_counts[TRADECNT];
const int32_t hire_max[TRADECNT] = {100, 20, 20, 20};

static hire_show_fn hire_show_go;

void hire_set_go_button(hire_show_fn show) { hire_show_go = show; }

void hire_reset() {
  for (int t = 0; t < TRADECNT; t++) hire_counts[t] = 0;
}

// Workers asked for at slider position x: a dead zone on the left, then two
// per hundredth of the slider. Far-off and non-numeric positions are clamped
// first so the conversion to int stays defined.
static int slider_workers(float x) {
  float n = (x * 2.0f - 1.0f + 0.35f) * 100.0f;
  n = std::fmin(std::fmax(n, -1.0e6f), 1.0e6f);
  return (int)n;
}

void hire_reduce(int reduction, int trade) {
  ASSERT(reduction > 0);
  ASSERT(trade >= 0 && trade < TRADECNT);
  int r = reduction;
  for (int k = 1; k <= TRADECNT && r > 0; k++) {
    int t = (trade + k) % TRADECNT;
    int cut = std::min(r, hire_counts[t]);
    ASSERT(cut >= 0);
    hire_counts[t] -= cut;
    r -= cut;
  }
}

void hire_on_workforce(const char* text) {
  int type = notify_int(text, "type");
  float x = notify_float(text, "x");
  int click = notify_int(text, "click");
  if (type < 0 || type >= TRADECNT) return;  // only the four sliders post this

  int n = slider_workers(x);
  if (n < -4) {
    if (click == 0) return;  // dragging through the dead zone changes nothing
    n = hire_counts[type] + 1;
  }
  hire_counts[type] = std::clamp(n, 0, (int)hire_max[type]);

  const int total = hire_total();
  if (total > taxc_silver)
    hire_reduce((int)std::min<long long>((long long)total - taxc_silver, INT_MAX), type);

  if (hire_show_go) hire_show_go(hire_total() > 0 ? 1 : 0);  // counts are never negative
}

int hire_total() {
  int total = 0;
  for (int t = 0; t < TRADECNT; t++) total += hire_counts[t];
  return total;
}

int hire_fit_crowd() {
  long long room = CROWDSZ - crowd_sz;
  for (int t = 0; t < TRADECNT; t++) room -= spawnqueues[t];
  const int total = hire_total();
  const int kept = (int)std::clamp<long long>(room, 0, total);
  if (kept == total) return total;
  hire_reduce(total - kept, TRADECNT - 1);  // the trades in their order, builders first
  LOG("ERR The crowd is full; %d of the %d workers chosen are hired.", kept, total);
  return kept;
}
