// The candidate maths of a pass on eight lanes for the vector paths; each
// solver file compiles it with its own instructions.
#pragma once
#ifndef __AVX__
#error "needs AVX"
#endif
#include <immintrin.h>

#include "potfield_ring.h"

namespace {

// Masks are whole-lane compare results, so plain bit logic selects. (The
// compiler turns blendv into integer sign tests that lacks at 256 bits.)
INLINE __m256 select(__m256 mask, __m256 yes, __m256 no) {
  return _mm256_or_ps(_mm256_and_ps(mask, yes), _mm256_andnot_ps(mask, no));
}

INLINE __m256 gather_nbr(const float* grid, const int32_t* c, int32_t off) {
#define NB(i) grid[(c[i] + off) & CELLMASK]
  return _mm256_setr_ps(NB(0), NB(1), NB(2), NB(3), NB(4), NB(5), NB(6), NB(7));
#undef NB
}

// Eight 4-vectors, one per lane, into four 8-lane vectors, one per component.
INLINE void transpose(const __m128* p, __m256* out) {
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
void pack_costs(const grids& g, float (*packed)[4]) {
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

// Each lane's own potential and its west, east, north and south neighbours',
// every index taken modulo the grid. Single loads: each takes its value
// straight from a store of the last passes still on its way to memory, where
// a wider load would have to wait for it.
INLINE void load_potentials(const float* pot, const int32_t* c, __m256& self, __m256* u) {
  self = gather_nbr(pot, c, 0);
  for (int d = 0; d < 4; d++) u[d] = gather_nbr(pot, c, nbr_offset[d]);
}

INLINE void upwind8(__m256 u1, __m256 c1, __m256 u2, __m256 c2, __m256& u, __m256& cost) {
  const __m256 undf = _mm256_set1_ps(FLT_UNDF);
  const __m256 s1 = _mm256_add_ps(u1, c1), s2 = _mm256_add_ps(u2, c2);
  const __m256 take2 =
      _mm256_and_ps(_mm256_cmp_ps(s2, s1, _CMP_LT_OQ), _mm256_cmp_ps(u2, undf, _CMP_NEQ_UQ));
  const __m256 take1 = _mm256_andnot_ps(take2, _mm256_and_ps(_mm256_cmp_ps(s1, s2, _CMP_LE_OQ),
                                                             _mm256_cmp_ps(u1, undf, _CMP_NEQ_UQ)));
  u = select(take2, u2, select(take1, u1, undf));
  cost = select(take2, c2, select(take1, c1, undf));
}

// The eight candidates from the upwind potentials u (FLT_UNDF where closed)
// and the costs k.
INLINE __m256 candidate8(const __m256* u, const __m256* k, __m256 quarter) {
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
      _mm256_set1_ps(8.0f), _mm256_sub_ps(_mm256_add_ps(_mm256_mul_ps(a, a), _mm256_mul_ps(b, b)),
                                          _mm256_mul_ps(cx, cy)));
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

// A pass as whole-lane masks, before it is written: the batch, each lane's new
// potential, the lanes that dropped, and per direction the settled lanes that
// open onto a higher neighbour.
struct lanes {
  __m256i cell;
  __m256 pot;
  __m256 drop;
  __m256 ask[4];
};

// The candidates of the eight cells taken from the ring, the first n of them valid.
INLINE lanes evaluate(const grids& g, const float (*packed)[4], const int32_t* cells, int n) {
  const __m256 undf = _mm256_set1_ps(FLT_UNDF);
  __m128 rows[LANES];
  for (int i = 0; i < LANES; i++) rows[i] = _mm_load_ps(packed[cells[i]]);
  __m256 k[4], u[4], old;
  transpose(rows, k);
  load_potentials(g.pot, cells, old, u);
  for (int d = 0; d < 4; d++) u[d] = select(_mm256_cmp_ps(k[d], undf, _CMP_EQ_OQ), undf, u[d]);
  const __m256 cand = candidate8(u, k, _mm256_rcp_ps(_mm256_set1_ps(4.0f)));
  const __m256 valid =
      _mm256_cmp_ps(_mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7), _mm256_set1_ps((float)n), _CMP_LT_OQ);
  lanes l;
  l.cell = _mm256_loadu_si256((const __m256i*)cells);
  l.pot = _mm256_min_ps(cand, old);
  l.drop = _mm256_and_ps(valid, _mm256_cmp_ps(cand, old, _CMP_LT_OQ));
  const __m256 settle = _mm256_andnot_ps(l.drop, valid);
  // Closed sides read FLT_UNDF, which is never above a reached potential.
  for (int d = 0; d < 4; d++)
    l.ask[d] = _mm256_and_ps(settle, _mm256_and_ps(_mm256_cmp_ps(k[d], undf, _CMP_NEQ_UQ),
                                                   _mm256_cmp_ps(u[d], old, _CMP_GT_OQ)));
  return l;
}

}  // namespace
