// 4x4 float matrices, column-major (element of row r, column c at 4c + r),
// translation in elements 12, 13, 14, as OpenGL takes them.
#pragma once

void mat4_identity(float* out);
// out = a x b; out may be a or b. Returns out.
float* mat4_mul(const float* a, float* out, const float* b);
// out = inverse of m; out may be m. A singular m gives the zero matrix. Returns out.
float* mat4_invert(const float* m, float* out);
float mat4_determinant(const float* m);
