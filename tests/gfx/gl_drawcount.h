// Counting what the driver was really asked to draw: every glDraw* entry point
// goes through a wrapper that counts the call and calls the driver's own
// function. The driver's function is looked up by name because epoxy's
// first-call stub calls through the pointer it resolves into, which would now
// be the wrapper.
#pragma once
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdint>
#include <ostream>
#include <vector>

inline int64_t drawcount_calls;
inline PFNGLDRAWARRAYSPROC drawcount_arrays;
inline PFNGLDRAWARRAYSINSTANCEDPROC drawcount_arrays_inst;
inline PFNGLDRAWELEMENTSPROC drawcount_elements;
inline PFNGLDRAWELEMENTSINSTANCEDPROC drawcount_elements_inst;
inline PFNGLDRAWRANGEELEMENTSPROC drawcount_range;
inline PFNGLMULTIDRAWARRAYSPROC drawcount_multi;

// One glDrawArrays call: the vertex array bound and the vertices asked for.
struct drawcount_array_call {
  GLint vao;
  GLsizei vertices;
  bool operator==(const drawcount_array_call& o) const {
    return vao == o.vao && vertices == o.vertices;
  }
};
inline std::ostream& operator<<(std::ostream& os, const drawcount_array_call& c) {
  return os << "vertex array " << c.vao << ", " << c.vertices << " vertices";
}
// While set, every glDrawArrays call is appended here.
inline std::vector<drawcount_array_call>* drawcount_array_calls;

inline void GLAPIENTRY drawcount_on_arrays(GLenum m, GLint first, GLsizei n) {
  drawcount_calls++;
  if (drawcount_array_calls) {
    GLint vao = 0;
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    drawcount_array_calls->push_back({vao, n});
  }
  drawcount_arrays(m, first, n);
}
inline void GLAPIENTRY drawcount_on_arrays_inst(GLenum m, GLint first, GLsizei n, GLsizei inst) {
  drawcount_calls++;
  drawcount_arrays_inst(m, first, n, inst);
}
inline void GLAPIENTRY drawcount_on_elements(GLenum m, GLsizei n, GLenum t, const void* at) {
  drawcount_calls++;
  drawcount_elements(m, n, t, at);
}
inline void GLAPIENTRY drawcount_on_elements_inst(GLenum m, GLsizei n, GLenum t, const void* at,
                                                  GLsizei inst) {
  drawcount_calls++;
  drawcount_elements_inst(m, n, t, at, inst);
}
inline void GLAPIENTRY drawcount_on_range(GLenum m, GLuint lo, GLuint hi, GLsizei n, GLenum t,
                                          const void* at) {
  drawcount_calls++;
  drawcount_range(m, lo, hi, n, t, at);
}
inline void GLAPIENTRY drawcount_on_multi(GLenum m, const GLint* first, const GLsizei* n,
                                          GLsizei draws) {
  drawcount_calls++;
  drawcount_multi(m, first, n, draws);
}

template <class F>
inline bool drawcount_wrap(F* pointer, F* driver, F wrapper, const char* name) {
  *driver = (F)SDL_GL_GetProcAddress(name);
  if (!*driver) return false;
  *pointer = wrapper;
  return true;
}

// After the context is made; false when the driver lacks one of them.
inline bool drawcount_install() {
  drawcount_calls = 0;
  return drawcount_wrap(&epoxy_glDrawArrays, &drawcount_arrays, drawcount_on_arrays,
                        "glDrawArrays") &&
         drawcount_wrap(&epoxy_glDrawArraysInstanced, &drawcount_arrays_inst,
                        drawcount_on_arrays_inst, "glDrawArraysInstanced") &&
         drawcount_wrap(&epoxy_glDrawElements, &drawcount_elements, drawcount_on_elements,
                        "glDrawElements") &&
         drawcount_wrap(&epoxy_glDrawElementsInstanced, &drawcount_elements_inst,
                        drawcount_on_elements_inst, "glDrawElementsInstanced") &&
         drawcount_wrap(&epoxy_glDrawRangeElements, &drawcount_range, drawcount_on_range,
                        "glDrawRangeElements") &&
         drawcount_wrap(&epoxy_glMultiDrawArrays, &drawcount_multi, drawcount_on_multi,
                        "glMultiDrawArrays");
}
