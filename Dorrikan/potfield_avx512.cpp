// The AVX-512 path: the woken cells of a pass are packed into the ring with
// three compressions.
#include "potfield_tags.h"

namespace {

// The same order from three compressions of the forty slots, lane by lane.
struct slot_table {
  int32_t pair[3][16];  // own cell, west (first source), east, north (second)
  int32_t south[3][16];
  uint16_t from_south[3];
  constexpr slot_table() : pair(), south(), from_south() {
    for (int o = 0; o < 48; o++) {
      const int i = o / 5 < LANES ? o / 5 : 0, s = o / 5 < LANES ? o % 5 : 0;
      pair[o / 16][o % 16] = s == 4 ? 0 : (s & 1) * LANES + (s >> 1) * 16 + i;
      south[o / 16][o % 16] = i;
      if (s == 4) from_south[o / 16] |= 1 << (o % 16);
    }
  }
};
constexpr slot_table potfield_slots = slot_table();

// GCC 12's widening intrinsics start from a self-initialised "undefined"
// vector and warn about it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
inline __m512i widen(__m256i v) { return _mm512_castsi256_si512(v); }
inline __m512i join(__m256i lo, __m256i hi) { return _mm512_inserti64x4(widen(lo), hi, 1); }
#pragma GCC diagnostic pop

INLINE void append_avx512(ring& r, const lanes& l, const wakes& w) {
  const __m512i a = join(l.cell, w.nb[0]), b = join(w.nb[1], w.nb[2]);
  const __m512i south = widen(w.nb[3]);
  const uint64_t every5 = 0x0842108421ull;  // bit 5i: lane i's first slot
  uint64_t take = _pdep_u64(_mm256_movemask_ps(l.drop), every5);
  for (int d = 0; d < 4; d++)
    take |= _pdep_u64(_mm256_movemask_ps(_mm256_castsi256_ps(w.taken[d])), every5 << (d + 1));
  uint32_t tail = r.tail;
  for (int q = 0; q < 3; q++) {
    __m512i v = _mm512_permutex2var_epi32(a, _mm512_loadu_si512(potfield_slots.pair[q]), b);
    v = _mm512_mask_permutexvar_epi32(v, potfield_slots.from_south[q],
                                      _mm512_loadu_si512(potfield_slots.south[q]), south);
    const uint32_t m = (uint32_t)(take >> (16 * q)) & 0xffff;
    _mm512_storeu_si512(r.cells + tail, _mm512_maskz_compress_epi32((__mmask16)m, v));
    tail += _mm_popcnt_u32(m);
  }
  r.tail = tail;
}

}  // namespace

void potfield_solve_avx512(int32_t t, const potfield_grids& g, const uint8_t* flags,
                           const float* weight) {
  solve_tagged<append_avx512>(t, g, flags, weight);
}
