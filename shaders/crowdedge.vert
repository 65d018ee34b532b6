#version 150
// The worker's outline, swung like its faces.
uniform mat4 modelcamviewprojmat;
in vec4 position;
in mat4 trf;
in vec2 limb;
void main() {
  float swing = trf[3][3];
  mat4 m = trf;
  m[3][3] = 1.0;
  vec4 p = position;
  p.x += 0.050 * swing * limb.x;
  p.x -= 0.033 * swing * limb.y;
  p.z += max(0.09 * swing * limb.x, 0.0);
  gl_Position = modelcamviewprojmat * (m * p);
}
