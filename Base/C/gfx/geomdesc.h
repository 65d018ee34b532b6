// A compiled-in model record: triangles with normals and colours (or uvs),
// an optional outline, and the GL names the geometry registry gives it.
#pragma once
#include <cstdint>

struct geomdesc {
  const char* name;
  int32_t numt;        // triangles; 0: no triangle buffer
  int32_t numl;        // outline segments; 0: no outline buffer
  const float* tris;   // 3 vertices a triangle: pos, normal, rgb (36 B) or pos, normal, uv (32 B)
  const float* lines;  // 2 vertices a segment, x y z each
  uint32_t vbos[6];    // 2k triangles of set k, 2k + 1 its outline
  int32_t trisz;       // bytes of tris
  int32_t linesz;      // bytes of lines
  uint32_t vaos[6];
};
