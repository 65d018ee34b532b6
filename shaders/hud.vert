#version 150
uniform vec2 rotx;
uniform vec2 roty;
uniform vec2 translation;
in vec2 position;
in vec2 uv;
out vec2 texcoord;
void main() {
  gl_Position = vec4(dot(position, rotx) + translation.x, dot(position, roty) + translation.y, 1.0, 1.0);
  texcoord = uv;
}
