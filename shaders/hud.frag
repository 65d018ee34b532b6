#version 150
uniform sampler2D texturemap;
uniform vec4 colour;
in vec2 texcoord;
out vec4 fragcolour;
void main() {
  fragcolour = colour * texture(texturemap, texcoord);
}
