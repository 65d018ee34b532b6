// Turns the glyph strokes into triangles and writes the font tables.
//
// A glyph is strokes separated by ';'. A stroke is a polyline of points
// "x,y" and arcs "(cx,cy,rx,ry,a0,a1,n[,k])" (n+1 points from angle a0 to a1
// in degrees, the radii scaled linearly to k times at the end: a spiral).
// "_x,y" ends the stroke with a horizontal cut instead of a square one, so a
// slanted leg stands flat on the baseline. "*k" splits the segment that
// follows into k pieces. A stroke starting with 'o' is closed; "dx,y,r" is a
// round dot; "f" followed by points is a filled convex polygon. "w=v" sets
// the stroke width for the rest of the glyph.
//
// Polylines get mitred joins; turns sharper than 120 degrees break the stroke
// and fill the outer corner with one bevel triangle.
#include "fontgen.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "assetgen.h"

float fontgen_advance[FONTGEN_GLYPHS];
int fontgen_count[FONTGEN_GLYPHS];
int fontgen_first[FONTGEN_GLYPHS];
float fontgen_vertices[FONTGEN_MAX_VERTICES * 2];
int fontgen_nvertices;

namespace {

const int MAXPTS = 256;
const float PI = 3.14159265f;
const float MIN_AREA = 1e-3f;

struct vec {
  float x, y;
};
vec operator+(vec a, vec b) { return {a.x + b.x, a.y + b.y}; }
vec operator-(vec a, vec b) { return {a.x - b.x, a.y - b.y}; }
vec operator*(vec a, float s) { return {a.x * s, a.y * s}; }
float dot(vec a, vec b) { return a.x * b.x + a.y * b.y; }
float cross(vec a, vec b) { return a.x * b.y - a.y * b.x; }
vec unit(vec a) { return a * (1.0f / std::sqrt(dot(a, a))); }
vec left(vec d) { return {-d.y, d.x}; }

// The stroke being parsed.
vec pts[MAXPTS];
bool flat[MAXPTS];
int npts;
int split_next;  // pieces for the next segment
float half_width;
int cur_glyph;
bool failed;

void fail(const char* what, const char* at) {
  if (!failed) fprintf(stderr, "fontgen: glyph %d: %s at '%.20s'\n", cur_glyph, what, at);
  failed = true;
}

void emit(vec a, vec b, vec c) {
  const float area = cross(b - a, c - a) * 0.5f;
  if (std::fabs(area) < MIN_AREA) return fail("degenerate triangle", "");
  if (fontgen_nvertices + 3 > FONTGEN_MAX_VERTICES) return fail("vertex table full", "");
  if (area < 0) std::swap(b, c);  // every triangle counter-clockwise
  const vec tri[3] = {a, b, c};
  for (const vec& v : tri) {
    fontgen_vertices[fontgen_nvertices * 2] = v.x;
    fontgen_vertices[fontgen_nvertices * 2 + 1] = v.y;
    fontgen_nvertices++;
  }
}

void add_point(vec p, bool flat_end) {
  if (npts > 0 && std::fabs(p.x - pts[npts - 1].x) < 1e-4f &&
      std::fabs(p.y - pts[npts - 1].y) < 1e-4f) {
    flat[npts - 1] = flat[npts - 1] || flat_end;
    return;  // an arc starting where the line ended
  }
  if (npts > 0 && split_next > 1) {
    const vec a = pts[npts - 1];
    for (int k = 1; k < split_next && npts < MAXPTS; k++) {
      flat[npts] = false;
      pts[npts++] = a + (p - a) * ((float)k / split_next);
    }
  }
  split_next = 1;
  if (npts >= MAXPTS) return fail("too many points", "");
  flat[npts] = flat_end;
  pts[npts++] = p;
}

// Reads up to max comma-separated numbers; returns how many.
int numbers(const char* s, const char** end, float* out, int max) {
  int n = 0;
  for (;;) {
    char* e;
    const float v = strtof(s, &e);
    if (e == s || n == max) break;
    out[n++] = v;
    s = e;
    if (*s != ',') break;
    s++;
  }
  *end = s;
  return n;
}

void add_arc(const float* a, int n) {
  const int steps = (int)a[6];
  const float k = n > 7 ? a[7] : 1.0f;
  if (n < 7 || steps < 1) return fail("bad arc", "");
  for (int i = 0; i <= steps; i++) {
    const float t = (float)i / steps;
    const float ang = (a[4] + (a[5] - a[4]) * t) * PI / 180.0f;
    const float s = 1.0f + (k - 1.0f) * t;
    add_point({a[0] + a[2] * s * std::cos(ang), a[1] + a[3] * s * std::sin(ang)}, false);
  }
}

// Left and right edge points of segment s (from point s to s+1) at its end
// `at` (s or s+1), for a stroke of npts points.
void edge(int s, int at, bool closed, vec* l, vec* r) {
  const int n = npts;
  const vec d = unit(pts[(s + 1) % n] - pts[s]);
  const vec nrm = left(d);
  const vec p = pts[at % n];
  const bool end = !closed && (at == 0 || at == n - 1);
  if (end) {
    if (flat[at] && std::fabs(nrm.x) > 0.3f) {
      const vec off = {half_width / nrm.x, 0};
      *l = p + off, *r = p - off;
    } else {
      *l = p + nrm * half_width, *r = p - nrm * half_width;
    }
    return;
  }
  const vec din = unit(p - pts[(at + n - 1) % n]);
  const vec dout = unit(pts[(at + 1) % n] - p);
  if (dot(din, dout) < -0.5f) {  // broken at a sharp turn: square end
    *l = p + nrm * half_width, *r = p - nrm * half_width;
    return;
  }
  const vec m = unit(left(din) + left(dout));
  const float len = half_width / dot(m, nrm);
  *l = p + m * len, *r = p - m * len;
}

void emit_polyline(bool closed) {
  const int n = npts;
  if (n < 2 || (closed && n < 3)) return fail("stroke needs more points", "");
  const int segs = closed ? n : n - 1;
  for (int s = 0; s < segs; s++) {
    vec l0, r0, l1, r1;
    edge(s, s, closed, &l0, &r0);
    edge(s, s + 1, closed, &l1, &r1);
    emit(l0, r0, r1);
    emit(l0, r1, l1);
  }
  for (int i = closed ? 0 : 1; i < (closed ? n : n - 1); i++) {
    const vec p = pts[i];
    const vec din = unit(p - pts[(i + n - 1) % n]), dout = unit(pts[(i + 1) % n] - p);
    if (dot(din, dout) >= -0.5f) continue;
    const float side = cross(din, dout) > 0 ? -half_width : half_width;  // the outer side
    emit(p, p + left(din) * side, p + left(dout) * side);
  }
}

void emit_dot(const char* s) {
  float a[3];
  const char* e;
  if (numbers(s, &e, a, 3) != 3) return fail("bad dot", s);
  vec v[8];
  for (int k = 0; k < 8; k++) {
    const float ang = (22.5f + 45.0f * k) * PI / 180.0f;
    v[k] = {a[0] + a[2] * std::cos(ang), a[1] + a[2] * std::sin(ang)};
  }
  for (int k = 1; k < 7; k++) emit(v[0], v[k], v[k + 1]);
}

// Parses one stroke of text [s, end) and emits its triangles.
void stroke(const char* s, const char* end) {
  while (s < end && *s == ' ') s++;
  if (s == end) return;
  if (*s == 'd') return emit_dot(s + 1);
  const char kind = (*s == 'o' || *s == 'f') ? *s++ : ' ';
  npts = 0;
  split_next = 1;
  while (s < end && !failed) {
    if (*s == ' ') {
      s++;
    } else if (*s == '*') {
      split_next = atoi(s + 1);
      while (s < end && *s != ' ') s++;
    } else if (strncmp(s, "w=", 2) == 0) {
      half_width = strtof(s + 2, nullptr) * 0.5f;
      while (s < end && *s != ' ') s++;
    } else if (*s == '(') {
      float a[8];
      const char* e;
      const int n = numbers(s + 1, &e, a, 8);
      if (*e != ')') return fail("bad arc", s);
      add_arc(a, n);
      s = e + 1;
    } else {
      const bool flat_end = *s == '_';
      float a[2];
      const char* e;
      if (numbers(s + flat_end, &e, a, 2) != 2) return fail("bad point", s);
      add_point({a[0], a[1]}, flat_end);
      s = e;
    }
  }
  if (failed) return;
  if (kind == 'f') {
    for (int k = 1; k + 1 < npts; k++) emit(pts[0], pts[k], pts[k + 1]);
    return;
  }
  if (kind == 'o' && npts > 1 && std::fabs(pts[0].x - pts[npts - 1].x) < 1e-3f &&
      std::fabs(pts[0].y - pts[npts - 1].y) < 1e-3f)
    npts--;  // a full-circle arc ends where it began
  emit_polyline(kind == 'o');
}

void glyph(const fontgen_source& g) {
  cur_glyph = g.code;
  half_width = FONTGEN_STROKE * 0.5f;
  fontgen_advance[g.code] = g.advance;
  fontgen_first[g.code] = fontgen_nvertices;
  for (const char* s = g.strokes; *s && !failed;) {
    const char* e = strchr(s, ';');
    if (!e) e = s + strlen(s);
    stroke(s, e);
    s = *e ? e + 1 : e;
  }
  fontgen_count[g.code] = fontgen_nvertices - fontgen_first[g.code];
}

bool write_floats(FILE* f, const float* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%.6g,%c", v[i], i % 8 == 7 ? '\n' : ' ');
  return fprintf(f, "\n};\n") > 0;
}

bool write_ints(FILE* f, const int* v, int n) {
  for (int i = 0; i < n; i++) fprintf(f, "%d,%c", v[i], i % 16 == 15 ? '\n' : ' ');
  return fprintf(f, "};\n") > 0;
}

}  // namespace

bool fontgen_build() {
  fontgen_nvertices = 0;
  failed = false;
  for (int c = 0; c < FONTGEN_GLYPHS; c++) fontgen_count[c] = -1;
  for (int i = 0; i < fontgen_source_count && !failed; i++) {
    const fontgen_source& g = fontgen_sources[i];
    if (g.code < 0 || g.code >= FONTGEN_GLYPHS || fontgen_count[g.code] >= 0) {
      fprintf(stderr, "fontgen: bad or repeated code %d\n", g.code);
      return false;
    }
    glyph(g);
  }
  if (failed || fontgen_count[0] < 0) return false;
  // Codes without a glyph of their own show code 0's box.
  for (int c = 1; c < FONTGEN_GLYPHS; c++)
    if (fontgen_count[c] < 0) {
      fontgen_advance[c] = fontgen_advance[0];
      fontgen_count[c] = fontgen_count[0];
      fontgen_first[c] = fontgen_first[0];
    }
  return true;
}

bool assetgen_font(const char* out) {
  if (!fontgen_build()) return false;
  FILE* f = fopen(out, "w");
  if (!f) return false;
  fprintf(f, "// Made by assetgen font.\n#include \"font_data.h\"\n\n");
  fprintf(f, "const float font_advance[FONT_GLYPHS] = {\n");
  write_floats(f, fontgen_advance, FONTGEN_GLYPHS);
  fprintf(f, "const int32_t font_count[FONT_GLYPHS] = {\n");
  write_ints(f, fontgen_count, FONTGEN_GLYPHS);
  fprintf(f, "const int32_t font_first[FONT_GLYPHS] = {\n");
  write_ints(f, fontgen_first, FONTGEN_GLYPHS);
  fprintf(f, "const int32_t font_vertex_count = %d;\n", fontgen_nvertices);
  fprintf(f, "const float font_vertices[%d] = {\n", fontgen_nvertices * 2);
  write_floats(f, fontgen_vertices, fontgen_nvertices * 2);
  return fclose(f) == 0;
}
