// Iterative sweep of an eikonal equation: active cells wait in a ring and are
// worked off eight at a time until no cell's value drops any more.
#include "potfield.h"

#include <immintrin.h>

#include <cmath>
#include <cstring>

#include "log.h"

uint32_t potfield_state[GROUPCNT][GRIDCELLS];

// The queue of waiting cells runs forward through a buffer twice the grid and
// moves back to the start when its end nears. A cell waits at most once, so
// it always fits and no entry is ever overwritten; the order of work is that
// of any first-in first-out ring that does not overflow.
#define RINGSZ (2 * GRIDCELLS)
#define RINGSLACK 64  // one pass appends at most 40 entries, batches read 8
#define CELLMASK (GRIDCELLS - 1)
#define LANES 8

// One ring per field: two fields may be solved at once on different threads.
static int32_t potfield_ring[GROUPCNT][RINGSZ + RINGSLACK];
// The vector path's copy of the four cost grids, a cell's costs side by side.
alignas(32) static float potfield_packed[GROUPCNT][GRIDCELLS][4];

namespace {

enum { WEST, EAST, NORTH, SOUTH };
const int32_t nbr_offset[4] = {-1, 1, -GRIDSZ, GRIDSZ};

struct grids {
  float* pot;
  const float* cost[4];  // west, east, north, south
  uint32_t* state;
};

struct ring {
  int32_t* cells;
  uint32_t head, tail;
};

inline void push(ring& r, int32_t c) { r.cells[r.tail++] = c; }

// Keeps room for one more pass behind the tail; called between passes.
inline void make_room(ring& r) {
  if (r.tail <= RINGSZ) return;
  ASSERT(r.tail - r.head <= GRIDCELLS);
  memmove(r.cells, r.cells + r.head, (r.tail - r.head) * sizeof(int32_t));
  r.tail -= r.head;
  r.head = 0;
}

inline void activate(ring& r, uint32_t* state, int32_t c) {
  state[c] = POTFIELD_ACTIVE;
  push(r, c);
}

void seed(int32_t t, ring& r, const grids& g, const uint8_t* flags, const float* weight) {
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
    const bool inside[4] = {x > 0, x < GRIDSZ - 1, y > 0, y < GRIDSZ - 1};
    for (int d = 0; d < 4; d++) {
      if (!inside[d]) continue;
      const int32_t n = c + nbr_offset[d];
      if ((flags[n] & 15) && (flags[n] >> 4) != goal && g.state[n] != POTFIELD_ACTIVE)
        activate(r, g.state, n);
    }
  }
}

// The outcome of one pass before it is written: each lane's new potential, the
// lanes that dropped (they wait again), and per direction the settled lanes
// that open onto a higher neighbour (bit i for lane i).
struct outcome {
  float pot[LANES];
  uint32_t dropped;
  uint32_t wake[4];
};

// Inlined into the vector path too, so the write-back is not a call and the
// tail and grid pointers stay in registers across a pass.
#define INLINE __attribute__((always_inline)) inline

// Activates cell nb when the settled lane asked for it and it does not wait
// already; cell 0 never waits. Branch-free: the entry is written at the tail
// either way, and the tail moves on only past a taken one.
INLINE void wake(uint32_t* state, int32_t* ring_cells, uint32_t& tail, int32_t nb, uint32_t asked) {
  const uint32_t s = state[nb];
  const uint32_t taken = asked & (s != POTFIELD_ACTIVE) & (nb != 0);
  ring_cells[tail] = nb;
  tail += taken;
  state[nb] = taken ? (uint32_t)POTFIELD_ACTIVE : s;
}

// Writes a pass in ring order: a dropped cell waits again; a settled one wakes
// each neighbour it marked unless that one already waits or is cell 0. A lane
// sees the states left by the lanes before it. INTERIOR: no cell of the pass
// lies in the first or last row or next to cell 0, so no neighbour index
// wraps and none is 0.
template <bool INTERIOR>
INLINE void commit(ring& r, const grids& g, const int32_t* cells, int n, const outcome& o) {
  int32_t* const ring_cells = r.cells;
  uint32_t* const state = g.state;
  uint32_t tail = r.tail;
  for (int i = 0; i < n; i++) {
    const int32_t c = cells[i];
    g.pot[c] = o.pot[i];
    const uint32_t dropped = (o.dropped >> i) & 1;
    ring_cells[tail] = c;
    tail += dropped;
    state[c] = POTFIELD_SETTLED - dropped;
    for (int d = 0; d < 4; d++) {
      const int32_t nb = INTERIOR ? c + nbr_offset[d] : (c + nbr_offset[d]) & CELLMASK;
      wake(state, ring_cells, tail, nb, (o.wake[d] >> i) & 1);
    }
  }
  r.tail = tail;
}

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
  seed(t, r, g, flags, weight);
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

#define AVX __attribute__((target("avx")))

// Masks are whole-lane compare results, so plain bit logic selects. (The
// compiler turns blendv into integer sign tests that AVX lacks at 256 bits.)
AVX inline __m256 select(__m256 mask, __m256 yes, __m256 no) {
  return _mm256_or_ps(_mm256_and_ps(mask, yes), _mm256_andnot_ps(mask, no));
}

AVX inline __m256 gather_nbr(const float* grid, const int32_t* c, int32_t off) {
#define NB(i) grid[(c[i] + off) & CELLMASK]
  return _mm256_setr_ps(NB(0), NB(1), NB(2), NB(3), NB(4), NB(5), NB(6), NB(7));
#undef NB
}

// Eight 4-vectors, one per lane, into four 8-lane vectors, one per component.
AVX inline void transpose(const __m128* p, __m256* out) {
  const __m256 t0 = _mm256_insertf128_ps(_mm256_castps128_ps256(p[0]), p[4], 1);
  const __m256 t1 = _mm256_insertf128_ps(_mm256_castps128_ps256(p[1]), p[5], 1);
  const __m256 t2 = _mm256_insertf128_ps(_mm256_castps128_ps256(p[2]), p[6], 1);
  const __m256 t3 = _mm256_insertf128_ps(_mm256_castps128_ps256(p[3]), p[7], 1);
  const __m256 u0 = _mm256_unpacklo_ps(t0, t1), u1 = _mm256_unpackhi_ps(t0, t1);
  const __m256 u2 = _mm256_unpacklo_ps(t2, t3), u3 = _mm256_unpackhi_ps(t2, t3);
  out[0] = _mm256_shuffle_ps(u0, u2, _MM_SHUFFLE(1, 0, 1, 0));
  out[1] = _mm256_shuffle_ps(u0, u2, _MM_SHUFFLE(3, 2, 3, 2));
  out[2] = _mm256_shuffle_ps(u1, u3, _MM_SHUFFLE(1, 0, 1, 0));
  out[3] = _mm256_shuffle_ps(u1, u3, _MM_SHUFFLE(3, 2, 3, 2));
}

// The four costs of a cell side by side, so a lane's costs are one load.
AVX void pack_costs(const grids& g, float (*packed)[4]) {
  for (int32_t c = 0; c < GRIDCELLS; c += 4) {
    __m128 w = _mm_loadu_ps(g.cost[WEST] + c), e = _mm_loadu_ps(g.cost[EAST] + c);
    __m128 n = _mm_loadu_ps(g.cost[NORTH] + c), s = _mm_loadu_ps(g.cost[SOUTH] + c);
    _MM_TRANSPOSE4_PS(w, e, n, s);
    _mm_store_ps(packed[c], w);
    _mm_store_ps(packed[c + 1], e);
    _mm_store_ps(packed[c + 2], n);
    _mm_store_ps(packed[c + 3], s);
  }
}

// Whether every cell of the pass lies at least one cell past the first row
// and before the last.
AVX inline bool interior(const int32_t* c) {
  const __m128i lo = _mm_loadu_si128((const __m128i*)c), hi = _mm_loadu_si128((const __m128i*)(c + 4));
  const __m128i first = _mm_set1_epi32(GRIDSZ + 1), last = _mm_set1_epi32(GRIDCELLS - GRIDSZ - 2);
  const __m128i edge = _mm_or_si128(_mm_or_si128(_mm_cmplt_epi32(lo, first), _mm_cmpgt_epi32(lo, last)),
                                    _mm_or_si128(_mm_cmplt_epi32(hi, first), _mm_cmpgt_epi32(hi, last)));
  return !_mm_movemask_epi8(edge);
}

// Each lane's own potential and its west, east, north and south neighbours'.
// For interior cells west, self and east are one load; otherwise every index
// is taken modulo the grid.
AVX inline void load_potentials(const float* pot, const int32_t* c, bool inside, __m256& self, __m256* u) {
  if (!inside) {
    self = gather_nbr(pot, c, 0);
    for (int d = 0; d < 4; d++) u[d] = gather_nbr(pot, c, nbr_offset[d]);
    return;
  }
  __m128 p[LANES];
  for (int i = 0; i < LANES; i++)
    p[i] = _mm_insert_ps(_mm_loadu_ps(pot + c[i] - 1), _mm_load_ss(pot + c[i] - GRIDSZ), 0x30);
  __m256 wcen[4];  // west, self, east, north
  transpose(p, wcen);
  u[WEST] = wcen[0];
  self = wcen[1];
  u[EAST] = wcen[2];
  u[NORTH] = wcen[3];
  u[SOUTH] = _mm256_setr_ps(pot[c[0] + GRIDSZ], pot[c[1] + GRIDSZ], pot[c[2] + GRIDSZ],
                            pot[c[3] + GRIDSZ], pot[c[4] + GRIDSZ], pot[c[5] + GRIDSZ],
                            pot[c[6] + GRIDSZ], pot[c[7] + GRIDSZ]);
}

AVX inline void upwind8(__m256 u1, __m256 c1, __m256 u2, __m256 c2, __m256& u, __m256& cost) {
  const __m256 undf = _mm256_set1_ps(FLT_UNDF);
  const __m256 s1 = _mm256_add_ps(u1, c1), s2 = _mm256_add_ps(u2, c2);
  const __m256 take2 = _mm256_and_ps(_mm256_cmp_ps(s2, s1, _CMP_LT_OQ),
                                     _mm256_cmp_ps(u2, undf, _CMP_NEQ_UQ));
  const __m256 take1 = _mm256_andnot_ps(
      take2, _mm256_and_ps(_mm256_cmp_ps(s1, s2, _CMP_LE_OQ), _mm256_cmp_ps(u1, undf, _CMP_NEQ_UQ)));
  u = select(take2, u2, select(take1, u1, undf));
  cost = select(take2, c2, select(take1, c1, undf));
}

// The eight candidates from the upwind potentials u (FLT_UNDF where closed)
// and the costs k.
AVX inline __m256 candidate8(const __m256* u, const __m256* k, __m256 quarter) {
  const __m256 undf = _mm256_set1_ps(FLT_UNDF);
  __m256 ux, cx, uy, cy;
  upwind8(u[WEST], k[WEST], u[EAST], k[EAST], ux, cx);
  upwind8(u[NORTH], k[NORTH], u[SOUTH], k[SOUTH], uy, cy);
  const __m256 xhigher = _mm256_cmp_ps(ux, uy, _CMP_GT_OQ);
  const __m256 a = select(xhigher, ux, uy), b = select(xhigher, uy, ux);
  const __m256 sum = _mm256_add_ps(a, b);
  const __m256 bq = _mm256_mul_ps(_mm256_set1_ps(-2.0f), sum);
  const __m256 bb = _mm256_mul_ps(bq, bq);
  const __m256 q = _mm256_mul_ps(
      _mm256_set1_ps(8.0f),
      _mm256_sub_ps(_mm256_add_ps(_mm256_mul_ps(a, a), _mm256_mul_ps(b, b)), _mm256_mul_ps(cx, cy)));
  const __m256 root = _mm256_mul_ps(
      _mm256_add_ps(_mm256_mul_ps(_mm256_set1_ps(2.0f), sum), _mm256_sqrt_ps(_mm256_sub_ps(bb, q))),
      quarter);
  const __m256 r = select(_mm256_cmp_ps(q, bb, _CMP_LE_OQ), root, undf);
  const __m256 mx = _mm256_add_ps(ux, cx), my = _mm256_add_ps(uy, cy);
  const __m256 m = select(_mm256_cmp_ps(my, mx, _CMP_LT_OQ), my, mx);
  __m256 v = select(_mm256_cmp_ps(r, a, _CMP_GT_OQ), r, m);
  v = select(_mm256_cmp_ps(r, undf, _CMP_EQ_OQ), m, v);
  v = select(_mm256_cmp_ps(uy, undf, _CMP_GE_OQ), mx, v);
  return select(_mm256_cmp_ps(ux, undf, _CMP_GE_OQ), my, v);
}

// One pass over the eight cells taken from the ring, the first n of them applied.
AVX inline void pass_avx(ring& r, const grids& g, const float (*packed)[4], const int32_t* cells,
                         int n) {
  const __m256 undf = _mm256_set1_ps(FLT_UNDF);
  __m128 rows[LANES];
  for (int i = 0; i < LANES; i++) rows[i] = _mm_load_ps(packed[cells[i]]);
  __m256 k[4], u[4], old;
  transpose(rows, k);
  const bool inside = interior(cells);
  load_potentials(g.pot, cells, inside, old, u);
  for (int d = 0; d < 4; d++) u[d] = select(_mm256_cmp_ps(k[d], undf, _CMP_EQ_OQ), undf, u[d]);
  const __m256 cand = candidate8(u, k, _mm256_rcp_ps(_mm256_set1_ps(4.0f)));
  const __m256 valid = _mm256_cmp_ps(_mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7),
                                     _mm256_set1_ps((float)n), _CMP_LT_OQ);
  const __m256 drop = _mm256_and_ps(valid, _mm256_cmp_ps(cand, old, _CMP_LT_OQ));
  const __m256 settle = _mm256_andnot_ps(drop, valid);
  outcome o;
  _mm256_storeu_ps(o.pot, _mm256_min_ps(cand, old));
  o.dropped = _mm256_movemask_ps(drop);
  // Closed sides read FLT_UNDF, which is never above a reached potential.
  for (int d = 0; d < 4; d++)
    o.wake[d] = _mm256_movemask_ps(_mm256_and_ps(
        settle, _mm256_and_ps(_mm256_cmp_ps(k[d], undf, _CMP_NEQ_UQ), _mm256_cmp_ps(u[d], old, _CMP_GT_OQ))));
  if (inside)
    commit<true>(r, g, cells, n, o);
  else
    commit<false>(r, g, cells, n, o);
}

AVX void solve_avx(int32_t t, const grids& g, const uint8_t* flags, const float* weight) {
  ring r = {potfield_ring[t], 0, 0};
  seed(t, r, g, flags, weight);
  float(*packed)[4] = potfield_packed[t];
  pack_costs(g, packed);
  int32_t cells[LANES];
  while (r.head != r.tail) {
    make_room(r);
    // All eight lanes are computed; those past the count hold stale entries
    // beyond the tail, which are cell indices too, and are not written.
    _mm256_storeu_si256((__m256i*)cells, _mm256_loadu_si256((const __m256i*)(r.cells + r.head)));
    const uint32_t count = r.tail - r.head;
    const int n = count < LANES ? (int)count : LANES;
    r.head += n;
    pass_avx(r, g, packed, cells, n);
  }
}

}  // namespace

void potfield_solve(int32_t t, float* potential, const float* costw, const float* coste,
                    const float* costn, const float* costs, uint32_t* state,
                    const uint8_t* flags, const float* weight) {
  ASSERT(t >= 0 && t < GROUPCNT);
  const grids g = {potential, {costw, coste, costn, costs}, state};
  solve_avx(t, g, flags, weight);
}

void potfield_solve_scalar(int32_t t, float* potential, const float* costw, const float* coste,
                           const float* costn, const float* costs, uint32_t* state,
                           const uint8_t* flags, const float* weight) {
  ASSERT(t >= 0 && t < GROUPCNT);
  const grids g = {potential, {costw, coste, costn, costs}, state};
  solve_scalar(t, g, flags, weight);
}
