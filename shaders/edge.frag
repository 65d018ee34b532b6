#version 150
uniform vec4 linecolour;
in float attenuation;
out vec4 fragcolour;
void main() {
  fragcolour = mix(linecolour, vec4(0.6, 0.6, 0.2, 1.0), attenuation);
}
