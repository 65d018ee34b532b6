// The write-back of a pass on eight lanes, for the AVX2 and AVX-512 paths.
#pragma once
#ifndef __AVX2__
#error "needs AVX2"
#endif
#include "potfield_vec.h"

// The vector write-back keeps the order of the scalar one through the state
// words. While a pass is written, a cell settled by lane j holds
// tag | j << 2 | 2 and a neighbour claimed by wake k (lane * 4 + direction)
// tag | k << 2 | 1, where tag grows with every pass; the low two bits are the
// state. A later lane sees an earlier lane's settled cell below its own
// limit; the first eligible wake of a cell is the claim left when the claims
// are written last to first. Solves end with the tags stripped.
#define TAGSHIFT 7
#define TAGLIMIT (1u << (31 - TAGSHIFT))

namespace {


void strip_tags(uint32_t* state) {
  const __m256i low = _mm256_set1_epi32(3);
  for (int32_t c = 0; c < GRIDCELLS; c += LANES) {
    __m256i* p = (__m256i*)(state + c);
    _mm256_storeu_si256(p, _mm256_and_si256(_mm256_loadu_si256(p), low));
  }
}

// The wakes of a pass: each lane's four neighbours and which of them it takes.
struct wakes {
  __m256i nb[4];
  __m256i taken[4];
};

// Eight scalar loads: unlike a gather, each one takes its value straight
// from a store of this pass still on its way to memory.
INLINE __m256i load8(const uint32_t* grid, const int32_t* i) {
  return _mm256_setr_epi32(grid[i[0]], grid[i[1]], grid[i[2]], grid[i[3]], grid[i[4]], grid[i[5]],
                           grid[i[6]], grid[i[7]]);
}

INLINE wakes resolve(const grids& g, const int32_t* cells, int n, const lanes& l, uint32_t tag) {
  uint32_t* const state = g.state;
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i lane4 = _mm256_slli_epi32(lane, 2);
  const __m256i tagv = _mm256_set1_epi32((int)tag);
  const __m256i one = _mm256_set1_epi32(POTFIELD_ACTIVE);
  const __m256i drop = _mm256_castps_si256(l.drop);
  const __m256i settled = _mm256_or_si256(tagv, _mm256_or_si256(lane4, _mm256_set1_epi32(POTFIELD_SETTLED)));
  alignas(32) float pot[LANES];
  alignas(32) uint32_t word[LANES];
  _mm256_store_ps(pot, l.pot);
  _mm256_store_si256((__m256i*)word, _mm256_blendv_epi8(settled, one, drop));
  for (int i = 0; i < n; i++) {
    g.pot[cells[i]] = pot[i];
    state[cells[i]] = word[i];
  }
  wakes w;
  const __m256i limit = _mm256_or_si256(tagv, lane4);
  const __m256i low = _mm256_set1_epi32(3), zero = _mm256_setzero_si256();
  alignas(32) int32_t nb[4][LANES];
  uint32_t eligible[4];
  __m256i elig[4];
  for (int d = 0; d < 4; d++) {
    w.nb[d] = _mm256_and_si256(_mm256_add_epi32(l.cell, _mm256_set1_epi32(nbr_offset[d])),
                               _mm256_set1_epi32(CELLMASK));
    const __m256i ask = _mm256_castps_si256(l.ask[d]);
    _mm256_store_si256((__m256i*)nb[d], w.nb[d]);
    const __m256i s = load8(state, nb[d]);
    const __m256i waits = _mm256_cmpeq_epi32(_mm256_and_si256(s, low), one);
    const __m256i before = _mm256_cmpgt_epi32(limit, s);
    const __m256i blocked = _mm256_or_si256(waits, _mm256_cmpeq_epi32(w.nb[d], zero));
    elig[d] = _mm256_andnot_si256(blocked, _mm256_and_si256(ask, before));
    eligible[d] = _mm256_movemask_ps(_mm256_castsi256_ps(elig[d]));
  }
  // Branch-free: a wake that is not eligible writes its claim aside. Each
  // claim is read back through its own address, so no read runs ahead of
  // the write it must see.
  uint32_t aside[4 * LANES];
  uint32_t* at[4 * LANES];
#pragma GCC unroll 32
  for (int k = 4 * LANES - 1; k >= 0; k--) {
    const int i = k / 4, d = k % 4;
    const uintptr_t there = (uintptr_t)&state[nb[d][i]], here = (uintptr_t)&aside[k];
    const uintptr_t take = -(uintptr_t)((eligible[d] >> i) & 1);
    at[k] = (uint32_t*)(here ^ ((here ^ there) & take));
    *at[k] = tag | (uint32_t)k << 2 | POTFIELD_ACTIVE;
  }
  uint32_t taken[4] = {0, 0, 0, 0};
#pragma GCC unroll 32
  for (int k = 0; k < 4 * LANES; k++)
    taken[k % 4] |= (uint32_t)(*at[k] == (tag | (uint32_t)k << 2 | POTFIELD_ACTIVE)) << (k / 4);
  const __m256i bit = _mm256_sllv_epi32(_mm256_set1_epi32(1), lane);
  for (int d = 0; d < 4; d++) {
    const __m256i mine = _mm256_and_si256(_mm256_set1_epi32((int)(taken[d] & eligible[d])), bit);
    w.taken[d] = _mm256_cmpeq_epi32(mine, bit);
  }
  return w;
}

template <void (*APPEND)(ring&, const lanes&, const wakes&)>
INLINE void solve_tagged(int32_t t, const grids& g, const uint8_t* flags, const float* weight) {
  uint32_t pass = 0;
  sweep(t, g, flags, weight, [&](ring& r, const float (*packed)[4], const int32_t* cells, int n) FLATTEN {
    if (++pass == TAGLIMIT) {
      strip_tags(g.state);
      pass = 1;
    }
    const lanes l = evaluate(g, packed, cells, n);
    APPEND(r, l, resolve(g, cells, n, l, pass << TAGSHIFT));
  });
  strip_tags(g.state);
}

}  // namespace
