// The light view, an orthographic view from above the centre of interest, and
// the debug line list that the frame drawing can show over the scene.
#pragma once
#include <cstdint>

#define LINES_MAX_POINTS 32768

struct light_state {
  float eye[3];
  float target[3];
  float half_extent;  // the projection covers -half_extent..half_extent in x and y
  float projection_matrix[16];
  float camera_matrix[16];  // columns side, up, back, eye
  float view_matrix[16];
  uint8_t uptodate;  // 0: the next light_update rebuilds the matrices
};

extern light_state light;
extern int32_t lines_count;  // points, two per segment
extern float lines_points[LINES_MAX_POINTS * 3];

void light_init();
// The light view and the line list as a fresh process has them (before light_init).
void light_reset();
void light_set_ortho(float half_extent, float znear, float zfar);
void light_update();
// cam: a camera matrix, a view matrix and a projection matrix, 16 floats each;
// draws the lines with projection x view through the program in use.
void lines_draw(const float* cam);
