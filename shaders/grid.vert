#version 150
uniform mat4 modelcamviewprojmat;
in vec4 position;
in vec4 rgb;
out vec4 colour;
void main() {
  gl_Position = modelcamviewprojmat * position;
  colour = rgb;
}
