// Iterative sweep of an eikonal equation: active cells wait in a ring and are
// worked off eight at a time until no cell's value drops any more.
#include <immintrin.h>

#include <cmath>
#include <cstring>

#include "potfield_ring.h"

uint32_t potfield_state[GROUPCNT][GRIDCELLS];
int32_t potfield_ring[GROUPCNT][RINGSZ + RINGSLACK];
alignas(32) float potfield_packed[GROUPCNT][GRIDCELLS][4];

void potfield_seed(int32_t t, potfield_queue& r, const potfield_grids& g, const uint8_t* flags,
                   const float* weight) {
  memset(g.state, 0, GRIDCELLS * sizeof(uint32_t));
  const int goal = t + 1;
  for (int32_t c = 0; c < GRIDCELLS; c++) {
    g.pot[c] = FLT_UNDF;
    if ((flags[c] >> 4) != goal) continue;
    g.pot[c] = -weight[c];
    g.state[c] = POTFIELD_SETTLED;
    const int32_t x = c % GRIDSZ, y = c / GRIDSZ;
    // A goal on the outer ring (a cat target can be dragged there) has no
    // neighbour beyond the grid's edge.
    const bool inside[4] = {x > 0, x<GRIDSZ - 1, y> 0, y < GRIDSZ - 1};
    for (int d = 0; d < 4; d++) {
      if (!inside[d]) continue;
      const int32_t n = c + nbr_offset[d];
      if ((flags[n] & 15) && (flags[n] >> 4) != goal && g.state[n] != POTFIELD_ACTIVE) {
        g.state[n] = POTFIELD_ACTIVE;
        r.cells[r.tail++] = n;
      }
    }
  }
}

namespace {

// The upwind side of one axis: the cheaper of the two sums; the first side wins a tie.
inline void upwind(float u1, float c1, float u2, float c2, float& u, float& cost) {
  const float s1 = u1 + c1, s2 = u2 + c2;
  if (s2 < s1 && u2 != FLT_UNDF) {
    u = u2;
    cost = c2;
  } else if (s1 <= s2 && u1 != FLT_UNDF) {
    u = u1;
    cost = c1;
  } else {
    u = FLT_UNDF;
    cost = FLT_UNDF;
  }
}

// The reciprocal estimate of 4.0 that the vector path multiplies by; the
// scalar form of the same instruction yields the same value.
inline float quarter_estimate() { return _mm_cvtss_f32(_mm_rcp_ss(_mm_set_ss(4.0f))); }

float candidate_scalar(const float* u, const float* k, float quarter) {
  float ux, cx, uy, cy;
  upwind(u[WEST], k[WEST], u[EAST], k[EAST], ux, cx);
  upwind(u[NORTH], k[NORTH], u[SOUTH], k[SOUTH], uy, cy);
  const float a = ux > uy ? ux : uy, b = ux > uy ? uy : ux;
  const float sum = a + b;
  const float bq = -2.0f * sum;
  const float bb = bq * bq;
  const float q = 8.0f * (a * a + b * b - cx * cy);
  const float r = q <= bb ? (2.0f * sum + std::sqrt(bb - q)) * quarter : FLT_UNDF;
  const float mx = ux + cx, my = uy + cy;
  const float m = my < mx ? my : mx;
  if (ux >= FLT_UNDF) return my;
  if (uy >= FLT_UNDF) return mx;
  if (r == FLT_UNDF) return m;
  return r > a ? r : m;
}

void solve_scalar(int32_t t, const grids& g, const uint8_t* flags, const float* weight) {
  ring r = {potfield_ring[t], 0, 0};
  potfield_seed(t, r, g, flags, weight);
  const float quarter = quarter_estimate();
  int32_t cells[LANES];
  while (r.head != r.tail) {
    make_room(r);
    const uint32_t count = r.tail - r.head;
    const int n = count < LANES ? (int)count : LANES;
    memcpy(cells, r.cells + r.head, n * sizeof(int32_t));
    r.head += n;
    outcome o = {{0}, 0, {0, 0, 0, 0}};
    for (int i = 0; i < n; i++) {
      const int32_t c = cells[i];
      float u[4], k[4];
      for (int d = 0; d < 4; d++) {
        k[d] = g.cost[d][c];
        u[d] = k[d] == FLT_UNDF ? FLT_UNDF : g.pot[(c + nbr_offset[d]) & CELLMASK];
      }
      const float old = g.pot[c];
      const float cand = candidate_scalar(u, k, quarter);
      o.pot[i] = cand < old ? cand : old;
      if (cand < old) {
        o.dropped |= 1u << i;
        continue;
      }
      for (int d = 0; d < 4; d++)
        if (k[d] != FLT_UNDF && u[d] > old) o.wake[d] |= 1u << i;
    }
    commit<false>(r, g, cells, n, o);
  }
}

}  // namespace

namespace {

bool supports(int path) {
  __builtin_cpu_init();
  switch (path) {
    case POTFIELD_SCALAR:
      return true;
    case POTFIELD_AVX:
      return __builtin_cpu_supports("avx");
    case POTFIELD_AVX2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt");
    case POTFIELD_AVX512:
      return supports(POTFIELD_AVX2) && __builtin_cpu_supports("bmi2") &&
             __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl");
  }
  return false;
}

// Fastest first. The AVX2 path's table packs a row sooner than the AVX-512
// compression does on the processors measured, so it goes before it.
int best_path() {
  const int order[] = {POTFIELD_AVX2, POTFIELD_AVX512, POTFIELD_AVX, POTFIELD_SCALAR};
  for (int path : order)
    if (supports(path)) return path;
  return POTFIELD_SCALAR;
}

// Set once before the first solve and only read while solves run.
int potfield_path_taken = best_path();

}  // namespace

bool potfield_supports(int path) { return supports(path); }

bool potfield_use(int path) {
  if (!supports(path)) return false;
  potfield_path_taken = path;
  return true;
}

int potfield_path() { return potfield_path_taken; }

void potfield_reset() {
  memset(potfield_state, 0, sizeof potfield_state);
  memset(potfield_ring, 0, sizeof potfield_ring);
  potfield_path_taken = best_path();
}

void potfield_solve(int32_t t, float* potential, const float* costw, const float* coste,
                    const float* costn, const float* costs, uint32_t* state, const uint8_t* flags,
                    const float* weight) {
  ASSERT(t >= 0 && t < GROUPCNT);
  const potfield_grids g = {potential, {costw, coste, costn, costs}, state};
  switch (potfield_path_taken) {
    case POTFIELD_AVX512:
      potfield_solve_avx512(t, g, flags, weight);
      break;
    case POTFIELD_AVX2:
      potfield_solve_avx2(t, g, flags, weight);
      break;
    case POTFIELD_AVX:
      potfield_solve_avx(t, g, flags, weight);
      break;
    default:
      solve_scalar(t, g, flags, weight);
  }
}

void potfield_solve_scalar(int32_t t, float* potential, const float* costw, const float* coste,
                           const float* costn, const float* costs, uint32_t* state,
                           const uint8_t* flags, const float* weight) {
  ASSERT(t >= 0 && t < GROUPCNT);
  const potfield_grids g = {potential, {costw, coste, costn, costs}, state};
  solve_scalar(t, g, flags, weight);
}
