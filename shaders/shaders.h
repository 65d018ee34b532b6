// The game's twelve shader programs: their compiled-in sources, the vertex
// inputs each binds and the uniforms each registers, in loading order.
#pragma once
#include <cstdint>

enum shaders_id {
  SHADERS_EDGE,
  SHADERS_GRID,
  SHADERS_CROWDFACE,
  SHADERS_CROWDEDGE,
  SHADERS_IFAC,
  SHADERS_CAT,
  SHADERS_IEDG,
  SHADERS_FONT,
  SHADERS_HUD,
  SHADERS_TERR,
  SHADERS_TIFA,
  SHADERS_EMOT,
  SHADERS_COUNT
};

struct shaders_program {
  const char* name;
  const char* logname;  // four characters, for the load line
  const char* vs;
  const char* fs;
  const char* attributes;
  const char* uniforms;
};

extern const shaders_program shaders_programs[SHADERS_COUNT];

// Builds all twelve into programs[], logs each name and validates each; a
// program that does not build stops the game.
void shaders_load(uint32_t* programs);
// Deletes the twelve and zeroes their names.
void shaders_delete(uint32_t* programs);
