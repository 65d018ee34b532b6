#version 150
// Transparent texels are discarded, so they leave no depth.
uniform sampler2D texturemap;
in vec2 offset;
out vec4 fragcolour;
void main() {
  vec4 s = texture(texturemap, vec2(gl_PointCoord.x + offset.x, 0.5 * (1.0 - gl_PointCoord.y) + offset.y));
  if (s.a <= 0.0) discard;
  fragcolour = s;
}
