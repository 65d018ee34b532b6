// The textured screen quad: a square from -1 to 1 with texture coordinates
// 0 to 1, placed by a 2D transform of the program in use.
#pragma once
#include <cstdint>

extern uint32_t quad_vao;
extern uint32_t quad_vbo;  // 0: not created

// A static mesh of x, y, u, v vertices (16 bytes each) in attributes 0 and 2.
void quad_create_mesh(uint32_t* vao, uint32_t* vbo, const void* vertices, int32_t bytes);
// Deletes such a mesh when it exists and zeroes both names.
void quad_delete_mesh(uint32_t* vao, uint32_t* vbo);
void quad_init();
// Deletes the quad's vertex array and buffer, when they exist.
void quad_delete();
// Draws the named texture: x' = dot(p, rotx) + translation.x, y' = dot(p, roty) + translation.y.
void quad_draw(const char* name, const float* translation, const float* rotx, const float* roty);
