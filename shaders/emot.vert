#version 150
// A point sprite; uvoff picks the half of the texture it shows.
uniform mat4 modelcamviewprojmat;
in vec4 position;
in vec2 uvoff;
out vec2 offset;
void main() {
  gl_Position = modelcamviewprojmat * position;
  offset = uvoff;
}
