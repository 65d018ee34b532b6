#include "matrix.h"

#include <cstring>

void mat4_identity(float* out) {
  memset(out, 0, 16 * sizeof(float));
  out[0] = out[5] = out[10] = out[15] = 1.0f;
}

float* mat4_mul(const float* a, float* out, const float* b) {
  // Formed apart and copied, so out may alias an operand.
  float r[16];
  for (int c = 0; c < 4; c++)
    for (int row = 0; row < 4; row++) {
      float s = 0.0f;
      for (int k = 0; k < 4; k++) s += a[4 * k + row] * b[4 * c + k];
      r[4 * c + row] = s;
    }
  memcpy(out, r, sizeof r);
  return out;
}

// Determinant of the 3x3 matrix left when row skip_r and column skip_c are struck out.
static float minor3(const float* m, int skip_r, int skip_c) {
  int r[3], c[3];
  for (int i = 0, n = 0; i < 4; i++)
    if (i != skip_r) r[n++] = i;
  for (int i = 0, n = 0; i < 4; i++)
    if (i != skip_c) c[n++] = i;
  auto e = [&](int i, int j) { return m[4 * c[j] + r[i]]; };
  return e(0, 0) * (e(1, 1) * e(2, 2) - e(1, 2) * e(2, 1)) -
         e(0, 1) * (e(1, 0) * e(2, 2) - e(1, 2) * e(2, 0)) +
         e(0, 2) * (e(1, 0) * e(2, 1) - e(1, 1) * e(2, 0));
}

// The adjugate (transposed cofactors) in m's own layout: the inverse is adj / det.
static void mat4_adjugate(const float* m, float* adj) {
  for (int row = 0; row < 4; row++)
    for (int col = 0; col < 4; col++)
      adj[4 * col + row] = ((row + col) % 2 ? -1.0f : 1.0f) * minor3(m, col, row);
}

// Expansion along m's first row: adj's first column holds its cofactors.
static float det_from_adjugate(const float* m, const float* adj) {
  return m[0] * adj[0] + m[4] * adj[1] + m[8] * adj[2] + m[12] * adj[3];
}

float mat4_determinant(const float* m) {
  float adj[16];
  mat4_adjugate(m, adj);
  return det_from_adjugate(m, adj);
}

float* mat4_invert(const float* m, float* out) {
  float adj[16];
  mat4_adjugate(m, adj);
  const float det = det_from_adjugate(m, adj);
  // No inverse: a zero matrix rather than infinities spreading into the frame.
  const float scale = det != 0.0f ? 1.0f / det : 0.0f;
  for (int i = 0; i < 16; i++) out[i] = adj[i] * scale;
  return out;
}
