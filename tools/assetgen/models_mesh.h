// Mesh building for the compiled-in models: closed primitives wound
// counter-clockwise seen from outside, each vertex with a flat normal, a colour
// or a texture coordinate, and the carrier's limb weights.
#pragma once
#include <functional>
#include <string>
#include <vector>

struct vec3 {
  float x, y, z;
};
vec3 operator+(vec3 a, vec3 b);
vec3 operator-(vec3 a, vec3 b);
vec3 operator*(vec3 a, float s);
vec3 cross(vec3 a, vec3 b);
float dot(vec3 a, vec3 b);
vec3 normalise(vec3 a);

struct vtx {
  vec3 p, n;
  float c[3];  // colour, or u, v in c[0], c[1]
  float limb[2];
};

// Local coordinates (x, y, z) map to o + x * ax + y * ay + z * az.
struct frame {
  vec3 o{0, 0, 0}, ax{1, 0, 0}, ay{0, 1, 0}, az{0, 0, 1};
  vec3 at(float x, float y, float z) const { return o + ax * x + ay * y + az * z; }
};
frame frame_at(float x, float y, float z);

// One primitive's triangles and the outline chosen from its edges. s and t
// are the surface parameters (around, along) in 0..1, for texture mapping.
struct part {
  std::vector<vtx> tris;
  std::vector<vec3> lines;
  std::vector<float> s, t;  // per vertex of tris
};

struct profile_pt {
  float r, z;
};

// Surface of revolution about the frame's z axis through n segments; the
// profile runs from a point on the axis to another, r 0 only at its ends.
part mesh_lathe(const frame& f, const std::vector<profile_pt>& profile, int n);
// A box of half sizes hx, hy, hz about the frame's origin.
part mesh_box(const frame& f, float hx, float hy, float hz);
// A tube through the path points with an m-sided section of the given radii,
// capped; a last radius of 0 ends it in a point. m = 2 gives a two-sided strip
// of width 2 r (the section's first axis is `side`).
part mesh_tube(const std::vector<vec3>& path, const std::vector<float>& radii, int m, vec3 side);
// Two square pyramids base to base, about c with half size r.
part mesh_octahedron(vec3 c, float r);

// Keeps the n edges with the sharpest creases (open edges first) as outline.
void part_outline(part* p, int n);
// Recomputes the flat normals after the positions were moved.
void part_renormal(part* p);
void part_colour(part* p, const float rgb[3]);
// Scales colours by a fixed sun so unlit programs still show the form.
void part_shade(part* p);
void part_limb(part* p, const std::function<void(vec3, float*)>& weights);

struct model {
  std::string name;
  int layout;  // floats a vertex: 9 coloured, 8 textured, 7 carrier
  std::vector<part> parts;
  std::vector<float> tris() const;
  std::vector<float> lines() const;
  int numt() const;
  int numl() const;
};

float model_sun_light(vec3 n);
