// The generated model set: each file adds its models to the list.
#pragma once
#include <vector>

#include "models_mesh.h"

void models_items(std::vector<model>* out);
void models_farm(std::vector<model>* out);
void models_cursors(std::vector<model>* out);
void models_buildings(std::vector<model>* out);
void models_figures(std::vector<model>* out);
// The bytes of the shipped height map, made by its own generator (through a
// scratch file beside out), so meshes and textures match the map exactly.
bool models_height_map(const char* out, std::vector<unsigned char>* heights);
// The three textured terrain meshes from the height map (128 x 128 bytes).
void models_terrain(const unsigned char* heights, std::vector<model>* out);

// The building textures and the carrier's, painted to match the models' uvs;
// each fills w x h RGB pixels.
enum model_texture { TEX_BAKERY, TEX_HUT, TEX_TENT, TEX_TAXC, TEX_CARRIER };
void models_paint(model_texture which, int w, int h, unsigned char* rgb);
void models_paint_terrain(const unsigned char* heights, int which, int w, int h,
                          unsigned char* rgb);
