#version 150
uniform vec4 linecolour;
out vec4 fragcolour;
void main() {
  fragcolour = linecolour;
}
