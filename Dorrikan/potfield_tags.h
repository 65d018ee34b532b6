// The write-back of a pass on eight lanes, for the AVX2 and AVX-512 paths.
#pragma once
#ifndef __AVX2__
#error "needs AVX2"
#endif
#include "potfield_vec.h"

// The vector write-back keeps the order of the scalar one. The pass first
// writes every lane's potential and state, a settled cell's state word naming
// the pass and its lane (tag | lane << 2 | 2). Then only the slots that can
// append are visited, in ring order: a dropped lane's own cell, and the
// neighbours a settled lane asks to wake. A later lane sees an earlier lane's
// settled cell below its own limit (tag | lane << 2), an earlier lane sees it
// still waiting; the low two bits of a word are the state. Solves end with
// the tags stripped.
#define TAGSHIFT 5
#define TAGLIMIT (1u << (31 - TAGSHIFT))
// A slot: its cell, its lane, and whether it is a dropped lane's own cell.
#define SLOT_LANE 14
#define SLOT_OWN_BIT 17
#define SLOT_OWN (1 << SLOT_OWN_BIT)

namespace {

void strip_tags(uint32_t* state) {
  const __m256i low = _mm256_set1_epi32(3);
  for (int32_t c = 0; c < GRIDCELLS; c += LANES) {
    __m256i* p = (__m256i*)(state + c);
    _mm256_storeu_si256(p, _mm256_and_si256(_mm256_loadu_si256(p), low));
  }
}

// A pass's slots per lane: its own cell and its four neighbours, with the
// lane in the high bits, and which of them may append.
struct slots {
  __m256i own;
  __m256i nb[4];
  __m256i drop;
  __m256i ask[4];
};

INLINE slots write_lanes(const grids& g, const int32_t* cells, int n, const lanes& l,
                         uint32_t tag) {
  const __m256i lane = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i drop = _mm256_castps_si256(l.drop);
  const __m256i settled = _mm256_or_si256(
      _mm256_set1_epi32((int)tag),
      _mm256_or_si256(_mm256_slli_epi32(lane, 2), _mm256_set1_epi32(POTFIELD_SETTLED)));
  alignas(32) float pot[LANES];
  alignas(32) uint32_t word[LANES];
  _mm256_store_ps(pot, l.pot);
  _mm256_store_si256((__m256i*)word,
                     _mm256_blendv_epi8(settled, _mm256_set1_epi32(POTFIELD_ACTIVE), drop));
  for (int i = 0; i < n; i++) {
    g.pot[cells[i]] = pot[i];
    g.state[cells[i]] = word[i];
  }
  slots s;
  const __m256i high = _mm256_slli_epi32(lane, SLOT_LANE);
  s.own = _mm256_or_si256(_mm256_or_si256(l.cell, high), _mm256_set1_epi32(SLOT_OWN));
  s.drop = drop;
  for (int d = 0; d < 4; d++) {
    const __m256i nb = _mm256_and_si256(_mm256_add_epi32(l.cell, _mm256_set1_epi32(nbr_offset[d])),
                                        _mm256_set1_epi32(CELLMASK));
    s.nb[d] = _mm256_or_si256(nb, high);
    s.ask[d] = _mm256_castps_si256(l.ask[d]);
  }
  return s;
}

// Appends the slots in order; a neighbour is taken when it is not waiting,
// not settled by a later lane of this pass, and not cell 0.
INLINE void append_slots(ring& r, uint32_t* state, const int32_t* slot, int count, uint32_t tag) {
  int32_t* const cells = r.cells;
  uint32_t tail = r.tail;
  for (int k = 0; k < count; k++) {
    const uint32_t x = slot[k] & CELLMASK;
    const uint32_t limit = tag | (slot[k] >> SLOT_LANE & 7) << 2;
    const uint32_t s = state[x];
    const uint32_t taken =
        (slot[k] >> SLOT_OWN_BIT) | (((s & 3) != POTFIELD_ACTIVE) & (s < limit) & (x != 0));
    cells[tail] = x;
    tail += taken;
    state[x] = taken ? (uint32_t)POTFIELD_ACTIVE : s;
  }
  r.tail = tail;
}

// Each lane's slots as one row (own cell, west, east, north, south, then
// fillers), and a mask per row of those that may append.
INLINE void lane_rows(const slots& s, __m256i* row, uint32_t* mask) {
  const __m256i t0 = _mm256_unpacklo_epi32(s.own, s.nb[0]),
                t1 = _mm256_unpackhi_epi32(s.own, s.nb[0]);
  const __m256i t2 = _mm256_unpacklo_epi32(s.nb[1], s.nb[2]),
                t3 = _mm256_unpackhi_epi32(s.nb[1], s.nb[2]);
  const __m256i t4 = _mm256_unpacklo_epi32(s.nb[3], s.own),
                t5 = _mm256_unpackhi_epi32(s.nb[3], s.own);
  const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
  const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
  const __m256i u4 = _mm256_unpacklo_epi64(t4, t4), u5 = _mm256_unpackhi_epi64(t4, t4);
  const __m256i u6 = _mm256_unpacklo_epi64(t5, t5), u7 = _mm256_unpackhi_epi64(t5, t5);
  row[0] = _mm256_permute2x128_si256(u0, u4, 0x20),
  row[4] = _mm256_permute2x128_si256(u0, u4, 0x31);
  row[1] = _mm256_permute2x128_si256(u1, u5, 0x20),
  row[5] = _mm256_permute2x128_si256(u1, u5, 0x31);
  row[2] = _mm256_permute2x128_si256(u2, u6, 0x20),
  row[6] = _mm256_permute2x128_si256(u2, u6, 0x31);
  row[3] = _mm256_permute2x128_si256(u3, u7, 0x20),
  row[7] = _mm256_permute2x128_si256(u3, u7, 0x31);
  __m256i bits = _mm256_and_si256(s.drop, _mm256_set1_epi32(1));
  for (int d = 0; d < 4; d++)
    bits = _mm256_or_si256(bits, _mm256_and_si256(s.ask[d], _mm256_set1_epi32(2 << d)));
  _mm256_store_si256((__m256i*)mask, bits);
}

// Moves the slots of a row that its mask marks to the row's front, in order.
typedef __m256i (*pack_fn)(__m256i row, uint32_t mask);

// Packs the slots that may append, in ring order; returns their count.
template <pack_fn PACK>
INLINE int pack_slots(const slots& s, int32_t* slot) {
  __m256i row[LANES];
  alignas(32) uint32_t mask[LANES];
  lane_rows(s, row, mask);
  int count = 0;
  for (int i = 0; i < LANES; i++) {
    _mm256_storeu_si256((__m256i*)(slot + count), PACK(row[i], mask[i]));
    count += _mm_popcnt_u32(mask[i]);
  }
  return count;
}

// One pass after another, overlapped: once a pass is written, the next batch
// is taken and its candidates computed before the pass appends, whenever the
// ring already holds that whole batch. The candidates read only potentials,
// which the appends do not touch, and the batch is the one the appends would
// have left at the head; so the order of work is unchanged, and the next
// pass's loads do not wait behind the appends' stores.
template <pack_fn PACK>
INLINE void solve_tagged(int32_t t, const grids& g, const uint8_t* flags, const float* weight) {
  ring r = {potfield_ring[t], 0, 0};
  potfield_seed(t, r, g, flags, weight);
  float(*packed)[4] = potfield_packed[t];
  pack_costs(g, packed);
  uint32_t pass = 0, tag = 0;
  alignas(64) int32_t slot[5 * LANES + 16];
  int pending = -1;  // the count of slots the last pass has still to append
  int32_t cells[LANES];
  // Writes a computed pass and packs its slots; the appends wait.
  auto write = [&](const lanes& l, int n) FLATTEN {
    if (++pass == TAGLIMIT) {
      strip_tags(g.state);
      pass = 1;
    }
    tag = pass << TAGSHIFT;
    pending = pack_slots<PACK>(write_lanes(g, cells, n, l, tag), slot);
  };
  for (;;) {
    make_room(r);
    _mm256_storeu_si256((__m256i*)cells, _mm256_loadu_si256((const __m256i*)(r.cells + r.head)));
    const uint32_t count = r.tail - r.head;
    // The batch after this one, where it is already queued: its costs come
    // from a grid too large for the first cache. Past the tail the entries
    // are stale cell indices, harmless to fetch.
    for (int i = LANES; i < 2 * LANES; i++)
      _mm_prefetch((const char*)packed[r.cells[r.head + i]], _MM_HINT_T0);
    if (pending >= 0 && count >= LANES) {
      r.head += LANES;
      const lanes l = evaluate(g, packed, cells, LANES);
      append_slots(r, g.state, slot, pending, tag);
      write(l, LANES);
      continue;
    }
    if (pending >= 0) {
      append_slots(r, g.state, slot, pending, tag);
      pending = -1;
      continue;
    }
    if (count == 0) break;
    // Stale lanes past the count hold cell indices too and are not written.
    const int n = count < LANES ? (int)count : LANES;
    r.head += n;
    write(evaluate(g, packed, cells, n), n);
  }
  strip_tags(g.state);
}

}  // namespace
