#version 150
uniform sampler2D texturemap;
in vec2 texcoord;
out vec4 fragcolour;
void main() {
  fragcolour = texture(texturemap, texcoord);
}
