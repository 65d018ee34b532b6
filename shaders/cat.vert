#version 150
// A cat: legs and tail swing with the walk; the swing rides in trf[3][3].
uniform mat4 modelcamviewprojmat;
in vec4 position;
in mat4 trf;
in vec4 rgb;
out vec4 colour;
void main() {
  float swing = trf[3][3];
  mat4 m = trf;
  m[3][3] = 1.0;
  float d = max(1.0 - 3.0 * position.z, 0.0);
  if (position.y < 0.0) d = -d;
  if (position.x < 0.0) d = -d;
  vec4 p = position;
  p.x += 0.050 * swing * d;
  p.z += max(0.04 * swing * d, 0.0);
  gl_Position = modelcamviewprojmat * (m * p);
  colour = rgb;
}
