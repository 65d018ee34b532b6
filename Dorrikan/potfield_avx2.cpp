// The AVX2 path: the woken cells are packed into the ring lane by lane
// through a table of permutations.
#include "potfield_tags.h"

namespace {

// The slots of a lane in ring order: its own cell, then its neighbours west,
// east, north, south; a table of permutations packs those that may append.
struct pack_table {
  alignas(32) int32_t perm[32][LANES];
  constexpr pack_table() : perm() {
    for (int m = 0; m < 32; m++) {
      int k = 0;
      for (int b = 0; b < 5; b++)
        if (m >> b & 1) perm[m][k++] = b;
    }
  }
};
constexpr pack_table potfield_pack = pack_table();

__m256i pack_avx2(__m256i row, uint32_t mask) {
  return _mm256_permutevar8x32_epi32(row,
                                     _mm256_load_si256((const __m256i*)potfield_pack.perm[mask]));
}

}  // namespace

void potfield_solve_avx2(int32_t t, const potfield_grids& g, const uint8_t* flags,
                         const float* weight) {
  solve_tagged<pack_avx2>(t, g, flags, weight);
}
