// The frame's 3D world pass: ground or potential overlay, lines, workers,
// buildings, items and cats, drawn into the bound viewport. What belongs to
// the interface (the build marker, emotes, selection and anything over the
// world) it leaves to two hooks.
#pragma once
#include <cstdint>

struct world_pass {
  const float (*cam)[16];        // the drawing camera record, five matrices
  const uint32_t* programs;      // program names by SHADERS_*
  int32_t showgoal;              // the potential field shown as overlay, -1 none
  void (*marker)(bool outline);  // the build marker, its faces then its outline
  void (*overlays)(float dt);    // last, with the depth test still on
};

void world_pass_draw(const world_pass* pass, float dt);
