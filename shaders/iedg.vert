#version 150
uniform mat4 modelcamviewprojmat;
in vec4 position;
in mat4 trf;
void main() {
  gl_Position = modelcamviewprojmat * (trf * position);
}
