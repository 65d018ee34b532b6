#version 150
in vec4 colour;
out vec4 fragcolour;
void main() {
  fragcolour = colour;
}
