#version 150
uniform vec4 colour;
out vec4 fragcolour;
void main() {
  fragcolour = colour;
}
