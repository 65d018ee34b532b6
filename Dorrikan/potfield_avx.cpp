// The vector path for processors with AVX only: the candidates on eight lanes,
// the write-back one slot at a time.
#include "potfield_vec.h"

namespace {

// Whether every cell of the pass lies at least one cell past the first row
// and before the last.
INLINE bool interior(const int32_t* c) {
  const __m128i lo = _mm_loadu_si128((const __m128i*)c),
                hi = _mm_loadu_si128((const __m128i*)(c + 4));
  const __m128i first = _mm_set1_epi32(GRIDSZ + 1), last = _mm_set1_epi32(GRIDCELLS - GRIDSZ - 2);
  const __m128i edge =
      _mm_or_si128(_mm_or_si128(_mm_cmplt_epi32(lo, first), _mm_cmpgt_epi32(lo, last)),
                   _mm_or_si128(_mm_cmplt_epi32(hi, first), _mm_cmpgt_epi32(hi, last)));
  return !_mm_movemask_epi8(edge);
}

// One pass with the scalar write-back, for processors without AVX2.
inline void pass_avx(ring& r, const grids& g, const float (*packed)[4], const int32_t* cells,
                     int n) {
  const lanes l = evaluate(g, packed, cells, n);
  outcome o;
  _mm256_storeu_ps(o.pot, l.pot);
  o.dropped = _mm256_movemask_ps(l.drop);
  for (int d = 0; d < 4; d++) o.wake[d] = _mm256_movemask_ps(l.ask[d]);
  if (interior(cells))
    commit<true>(r, g, cells, n, o);
  else
    commit<false>(r, g, cells, n, o);
}

}  // namespace

void potfield_solve_avx(int32_t t, const potfield_grids& g, const uint8_t* flags,
                        const float* weight) {
  ring r = {potfield_ring[t], 0, 0};
  potfield_seed(t, r, g, flags, weight);
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
