// The textured screen quad: a square from -1 to 1 with texture coordinates
// 0 to 1, placed by a 2D transform of the program in use.
#pragma once
#include <cstdint>

extern uint32_t quad_vao;
extern uint32_t quad_vbo;  // 0: not created

void quad_init();
// Deletes the quad's vertex array and buffer, when they exist.
void quad_delete();
// Draws the named texture: x' = dot(p, rotx) + translation.x, y' = dot(p, roty) + translation.y.
void quad_draw(const char* name, const float* translation, const float* rotx, const float* roty);
