// The AVX-512 path: the slots that may append are packed with the
// processor's compression.
#include "potfield_tags.h"

namespace {

__m256i pack_avx512(__m256i row, uint32_t mask) {
  return _mm256_maskz_compress_epi32((__mmask8)mask, row);
}

}  // namespace

void potfield_solve_avx512(int32_t t, const potfield_grids& g, const uint8_t* flags,
                           const float* weight) {
  solve_tagged<pack_avx512>(t, g, flags, weight);
}
