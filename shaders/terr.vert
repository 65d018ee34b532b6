#version 150
uniform mat4 modelcamviewprojmat;
in vec4 position;
in vec2 uv;
out vec2 texcoord;
void main() {
  gl_Position = modelcamviewprojmat * position;
  texcoord = vec2(uv.x, 1.0 - uv.y);
}
