// The AVX-512 path: the woken cells of a pass are packed into the ring with
// three compressions.
#include "potfield_tags.h"

namespace {

int pack_avx512(const slots& s, int32_t* slot) {
  __m256i row[LANES];
  alignas(32) uint32_t mask[LANES];
  lane_rows(s, row, mask);
  int count = 0;
  for (int i = 0; i < LANES; i++) {
    _mm256_storeu_si256((__m256i*)(slot + count), _mm256_maskz_compress_epi32((__mmask8)mask[i], row[i]));
    count += _mm_popcnt_u32(mask[i]);
  }
  return count;
}

}  // namespace

void potfield_solve_avx512(int32_t t, const potfield_grids& g, const uint8_t* flags,
                           const float* weight) {
  solve_tagged<pack_avx512>(t, g, flags, weight);
}
