#include <gtest/gtest.h>

#include <cmath>

#include "matrix.h"

namespace {

void expect_matrix_near(const float* got, const float* want, float tol) {
  for (int i = 0; i < 16; i++) EXPECT_NEAR(got[i], want[i], tol) << "element " << i;
}

// A rotation about an oblique axis with a translation: what the game inverts.
void rigid_placement(float* m) {
  const float ax[3] = {0.48f, -0.6f, 0.64f};  // unit length
  const float a = 0.9f, c = cosf(a), s = sinf(a), t = 1 - c;
  const float x = ax[0], y = ax[1], z = ax[2];
  const float r[16] = {t * x * x + c,
                       t * x * y + s * z,
                       t * x * z - s * y,
                       0,
                       t * x * y - s * z,
                       t * y * y + c,
                       t * y * z + s * x,
                       0,
                       t * x * z + s * y,
                       t * y * z - s * x,
                       t * z * z + c,
                       0,
                       12.5f,
                       -3.0f,
                       7.25f,
                       1};
  for (int i = 0; i < 16; i++) m[i] = r[i];
}

const float kGeneral[16] = {2, 1, 0, 3, -1, 4, 2, 0, 0.5f, 0, 3, 1, 1, -2, 0, 5};

TEST(Matrix, ProductIsColumnMajor) {
  // Translate by (1, 2, 3) after scaling by 2: the product maps a point p to 2p + t.
  const float translate[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
  const float scale[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1};
  float out[16];
  mat4_mul(translate, out, scale);
  const float want[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 1, 2, 3, 1};
  expect_matrix_near(out, want, 0);
  mat4_mul(scale, out, translate);  // the other order scales the translation too
  const float want2[16] = {2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 2, 4, 6, 1};
  expect_matrix_near(out, want2, 0);
}

TEST(Matrix, ProductMayOverwriteEitherOperand) {
  float a[16], b[16], want[16];
  rigid_placement(a);
  for (int i = 0; i < 16; i++) b[i] = kGeneral[i];
  EXPECT_EQ(mat4_mul(a, want, b), want);
  float a2[16], b2[16];
  for (int i = 0; i < 16; i++) a2[i] = a[i], b2[i] = b[i];
  EXPECT_EQ(mat4_mul(a2, a2, b), a2);
  expect_matrix_near(a2, want, 0);
  EXPECT_EQ(mat4_mul(a, b2, b2), b2);
  expect_matrix_near(b2, want, 0);
}

TEST(Matrix, Determinant) {
  const float diag[16] = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 9, 9, 9, 1};
  EXPECT_FLOAT_EQ(mat4_determinant(diag), 24.0f);
  float rigid[16];
  rigid_placement(rigid);
  EXPECT_NEAR(mat4_determinant(rigid), 1.0f, 1e-5f);
  EXPECT_NEAR(mat4_determinant(kGeneral), 118.0f, 1e-3f);
  const float swapped[16] = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  EXPECT_FLOAT_EQ(mat4_determinant(swapped), -1.0f);
}

TEST(Matrix, InverseTimesMatrixIsIdentity) {
  float id[16];
  mat4_identity(id);
  float rigid[16], inv[16], prod[16];
  rigid_placement(rigid);
  mat4_invert(rigid, inv);
  expect_matrix_near(mat4_mul(inv, prod, rigid), id, 1e-5f);
  expect_matrix_near(mat4_mul(rigid, prod, inv), id, 1e-5f);
  mat4_invert(kGeneral, inv);
  expect_matrix_near(mat4_mul(inv, prod, kGeneral), id, 1e-5f);
  // In place.
  float m[16];
  for (int i = 0; i < 16; i++) m[i] = kGeneral[i];
  EXPECT_EQ(mat4_invert(m, m), m);
  expect_matrix_near(m, inv, 0);
}

TEST(Matrix, SingularInverseIsZeroNotInfinite) {
  const float flat[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 5, 6, 7, 1};
  EXPECT_EQ(mat4_determinant(flat), 0.0f);
  float out[16];
  mat4_invert(flat, out);
  const float zero[16] = {};
  expect_matrix_near(out, zero, 0);
}

}  // namespace
