#version 150
// World lines; far ones fade towards sand.
uniform mat4 modelcamviewprojmat;
uniform float fogintensity;
in vec4 position;
out float attenuation;
void main() {
  gl_Position = modelcamviewprojmat * position;
  attenuation = min(fogintensity * log(max(1.0, gl_Position.z)), 1.0);
}
