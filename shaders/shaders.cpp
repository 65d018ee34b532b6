#include "shaders.h"

#include <epoxy/gl.h>

#include "glpr.h"
#include "log.h"
#include "shader_sources.inc"

const shaders_program shaders_programs[SHADERS_COUNT] = {
    {"Edge", "Edge", shader_edge_vert, shader_edge_frag, "position",
     "modelcamviewprojmat,linecolour,fogintensity"},
    {"Grid", "Grid", shader_grid_vert, shader_flat_frag, "position,rgb", "modelcamviewprojmat"},
    {"Crowdface", "CFac", shader_crowdface_vert, shader_crowdface_frag, "position,trf,uv,limb",
     "modelcamviewprojmat,texturemap"},
    {"Crowdedge", "CEdg", shader_crowdedge_vert, shader_linecolour_frag, "position,trf,limb",
     "modelcamviewprojmat,linecolour"},
    {"IFac", "IFac", shader_ifac_vert, shader_flat_frag, "position,trf,rgb", "modelcamviewprojmat"},
    {"Cat", "Cat ", shader_cat_vert, shader_flat_frag, "position,trf,rgb", "modelcamviewprojmat"},
    {"IEdg", "IEdg", shader_iedg_vert, shader_linecolour_frag, "position,trf",
     "modelcamviewprojmat,linecolour"},
    {"Font", "Font", shader_font_vert, shader_font_frag, "position",
     "colour,rotx,roty,translation"},
    {"Hud", "Hud ", shader_hud_vert, shader_hud_frag, "position,uv",
     "rotx,roty,translation,texturemap,colour"},
    {"Terr", "Terr", shader_terr_vert, shader_texture_frag, "position,uv",
     "modelcamviewprojmat,texturemap"},
    {"TIFa", "TIFa", shader_tifa_vert, shader_texture_frag, "position,trf,uv",
     "modelcamviewprojmat,texturemap"},
    {"Emot", "Emot", shader_emot_vert, shader_emot_frag, "position,uvoff",
     "modelcamviewprojmat,texturemap"},
};

void shaders_load(uint32_t* programs) {
  for (int i = 0; i < SHADERS_COUNT; i++) {
    const shaders_program& s = shaders_programs[i];
    const bool ok = glpr_load(s.name, &programs[i], s.vs, s.fs, s.attributes, s.uniforms);
    ASSERT(ok);
  }
  for (int i = 0; i < SHADERS_COUNT; i++)
    LOG("%s program loaded as %d", shaders_programs[i].logname, programs[i]);
  for (int i = 0; i < SHADERS_COUNT; i++) glpr_validate(programs[i]);
}

void shaders_delete(uint32_t* programs) {
  for (int i = 0; i < SHADERS_COUNT; i++) {
    glDeleteProgram(programs[i]);
    programs[i] = 0;
  }
}
