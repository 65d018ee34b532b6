// The AVX2 path: the woken cells are packed into the ring lane by lane
// through a table of permutations.
#include "potfield_tags.h"

namespace {

// Appends in ring order: per lane its own cell when it dropped, then the
// neighbours it took, west, east, north, south.
struct pack_table {
  int32_t perm[32][LANES];
  constexpr pack_table() : perm() {
    for (int m = 0; m < 32; m++) {
      int k = 0;
      for (int b = 0; b < 5; b++)
        if (m >> b & 1) perm[m][k++] = b;
    }
  }
};
constexpr pack_table potfield_pack = pack_table();

INLINE void append_avx2(ring& r, const lanes& l, const wakes& w) {
  // Rows per lane: own cell, west, east, north, south, then fillers.
  const __m256i c = l.cell;
  const __m256i t0 = _mm256_unpacklo_epi32(c, w.nb[0]), t1 = _mm256_unpackhi_epi32(c, w.nb[0]);
  const __m256i t2 = _mm256_unpacklo_epi32(w.nb[1], w.nb[2]), t3 = _mm256_unpackhi_epi32(w.nb[1], w.nb[2]);
  const __m256i t4 = _mm256_unpacklo_epi32(w.nb[3], c), t5 = _mm256_unpackhi_epi32(w.nb[3], c);
  const __m256i u0 = _mm256_unpacklo_epi64(t0, t2), u1 = _mm256_unpackhi_epi64(t0, t2);
  const __m256i u2 = _mm256_unpacklo_epi64(t1, t3), u3 = _mm256_unpackhi_epi64(t1, t3);
  const __m256i u4 = _mm256_unpacklo_epi64(t4, t4), u5 = _mm256_unpackhi_epi64(t4, t4);
  const __m256i u6 = _mm256_unpacklo_epi64(t5, t5), u7 = _mm256_unpackhi_epi64(t5, t5);
  const __m256i row[LANES] = {
      _mm256_permute2x128_si256(u0, u4, 0x20), _mm256_permute2x128_si256(u1, u5, 0x20),
      _mm256_permute2x128_si256(u2, u6, 0x20), _mm256_permute2x128_si256(u3, u7, 0x20),
      _mm256_permute2x128_si256(u0, u4, 0x31), _mm256_permute2x128_si256(u1, u5, 0x31),
      _mm256_permute2x128_si256(u2, u6, 0x31), _mm256_permute2x128_si256(u3, u7, 0x31)};
  __m256i bits = _mm256_and_si256(_mm256_castps_si256(l.drop), _mm256_set1_epi32(1));
  for (int d = 0; d < 4; d++)
    bits = _mm256_or_si256(bits, _mm256_and_si256(w.taken[d], _mm256_set1_epi32(2 << d)));
  alignas(32) uint32_t mask[LANES];
  _mm256_store_si256((__m256i*)mask, bits);
  uint32_t tail = r.tail;
  for (int i = 0; i < LANES; i++) {
    const __m256i perm = _mm256_load_si256((const __m256i*)potfield_pack.perm[mask[i]]);
    _mm256_storeu_si256((__m256i*)(r.cells + tail), _mm256_permutevar8x32_epi32(row[i], perm));
    tail += _mm_popcnt_u32(mask[i]);
  }
  r.tail = tail;
}

}  // namespace

void potfield_solve_avx2(int32_t t, const potfield_grids& g, const uint8_t* flags, const float* weight) {
  solve_tagged<append_avx2>(t, g, flags, weight);
}
