// The rounded panel behind the toast, and the swirl of star sprites that
// climbs around the selected worker or cat.
#pragma once
#include <cstdint>

#define PANE_VERTICES 60
#define SPIRAL_POINTS 64

extern uint32_t pane_vbo;  // 0: not created
extern uint32_t pane_vao;
extern const float pane_mesh[PANE_VERTICES][4];  // x, y (view units), u, v
extern float spiral_phases[SPIRAL_POINTS];       // each in [-1, 0]

void pane_create_vbo();
// Deletes the pane's vertex array and buffer, when they exist.
void pane_delete_vbo();
// pane_delete_vbo, and the spiral phases zero as in a fresh process.
void pane_reset();
// With the Hud program in use.
void pane_draw();
// The points at world age t around spiral_centre (the world's selection):
// x, y, z, u offset, v offset each; returns how many.
int32_t spiral_points(double t, float* out);
// With the Emot program in use: n point sprites of five floats each (x, y, z,
// u offset, v offset) through a buffer made and deleted here.
void pane_draw_points(const float* mvp, const float* points, int32_t n);
// cam: the drawing camera record (identity, view, projection, ...); with the
// Emot program in use, the star texture bound and the point size set.
void spiral_draw(const float* cam, double age);
