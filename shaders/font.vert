#version 150
uniform vec2 rotx;
uniform vec2 roty;
uniform vec2 translation;
in vec2 position;
void main() {
  gl_Position = vec4(dot(position, rotx) + translation.x, dot(position, roty) + translation.y, 0.0, 1.0);
}
