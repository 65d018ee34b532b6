// Shader programs from compiled-in sources, vertex inputs bound to fixed
// numbers by name, and one table of uniform locations for all programs,
// looked up by name relative to the program in use.
#pragma once
#include <cstdint>

#define MAXUNIFORMS 512

struct glpr_slot {
  const char* name;  // heap copy when built by glpr_load, kept for the life of the process
  uint32_t program;
  int32_t location;  // -1: GL does not know the uniform
};

extern glpr_slot glpr_uniforms[MAXUNIFORMS];
extern int32_t glpr_numu;

// attributes: comma-separated vertex input words ("position,trf,uv");
// uniforms: comma-separated names registered for the program.
bool glpr_load(const char* name, uint32_t* program, const char* vs, const char* fs,
               const char* attributes, const char* uniforms);
void glpr_use(uint32_t program);
// Forgets every uniform slot and the program in use, as in a fresh process.
// The programs are their owners' to delete; the names glpr_load copied stay.
void glpr_reset();
// Location of name in the program in use, or -1.
int32_t glpr_uniform(const char* name);
int32_t glpr_add_uniform(const char* name, uint32_t program);
bool glpr_compile_shader(uint32_t* shader, uint32_t type, const char* source);
bool glpr_link(uint32_t program);
bool glpr_validate(uint32_t program);
