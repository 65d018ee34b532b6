// The game screen as the shell opens it, for the frame benchmark and the
// draw-call test: a hidden window with a GL 3.2 core context, the controller
// created in the game's working directory over an empty settings folder, and
// the game playing; one frame drawn as the shell draws it; and a count of the
// draw calls made, taken through epoxy's dispatch pointers.
#pragma once
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "ctrl.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "running_game.h"
#include "sengine.h"

struct game_screen {
  SDL_Window* window;
  SDL_GLContext context;
  int width, height;
  char settings[32];
  std::filesystem::path cwd;  // given back on closing, with the settings folder
  const char* files;
};

// False when the run folder, the window or the context is missing.
inline bool game_screen_open(game_screen* s, int width, int height) {
  *s = game_screen{nullptr,
                   nullptr,
                   width,
                   height,
                   "/tmp/tavorek_screenXXXXXX",
                   std::filesystem::current_path(),
                   filesPath};
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("ALSOFT_DRIVERS", "null", 0);
  if (!mkdtemp(s->settings)) return false;
  std::error_code failed;
  std::filesystem::current_path(TAVOREK_RUN_DIR, failed);
  if (failed) return false;
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  s->window = SDL_CreateWindow("Tavorek, Ombrelith", 0, 0, width, height,
                               SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (!s->window) return false;
  s->context = SDL_GL_CreateContext(s->window);
  if (!s->context) return false;
  filesPath = s->settings;
  ctrl_create(width, height, 1.0f);
  // The start that creation posted builds the first world; play shows it.
  notify_post(MSG_PLAY);
  notify_flush();
  return true;
}

inline void game_screen_close(game_screen* s) {
  if (s->context) {
    // The shell's shut-down: the controller, then the sound it leaves open.
    ctrl_destroy();
    sengine_exit();
    notify_unlisten(MSG_PLAYFX, sengine_on_playfx);
    notify_unlisten(MSG_MUSICSETTING, sengine_on_musicsetting);
    SDL_GL_DeleteContext(s->context);
  }
  if (s->window) SDL_DestroyWindow(s->window);
  SDL_Quit();
  filesPath = s->files;
  std::error_code ignored;
  std::filesystem::remove_all(s->settings, ignored);
  std::filesystem::current_path(s->cwd, ignored);
}

// The shell's frame of four steps in its two halves, without the swap:
// clear and update, then draw.
inline void game_screen_update() {
  glClearColor(0.6f, 0.7f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  ctrl_update(4, 4.0 / 240.0);
}

inline void game_screen_draw(const game_screen* s) {
  glViewport(0, 0, s->width, s->height);
  ctrl_draw(4.0f / 240.0f, 1.0f / 60.0f);
}

// Every glDraw* entry point goes through a wrapper that counts the call and
// calls the driver's own function. The driver's function is looked up by name
// because epoxy's first-call stub calls through the pointer it resolves into,
// which would now be the wrapper.
inline int64_t drawcount_calls;
inline PFNGLDRAWARRAYSPROC drawcount_arrays;
inline PFNGLDRAWARRAYSINSTANCEDPROC drawcount_arrays_inst;
inline PFNGLDRAWELEMENTSPROC drawcount_elements;
inline PFNGLDRAWELEMENTSINSTANCEDPROC drawcount_elements_inst;
inline PFNGLDRAWRANGEELEMENTSPROC drawcount_range;
inline PFNGLMULTIDRAWARRAYSPROC drawcount_multi;

inline void GLAPIENTRY drawcount_on_arrays(GLenum m, GLint first, GLsizei n) {
  drawcount_calls++;
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

// The draw calls of one frame's drawing.
inline int64_t drawcount_frame(const game_screen* s) {
  const int64_t before = drawcount_calls;
  game_screen_draw(s);
  return drawcount_calls - before;
}

// The draw calls of one frame at each crowd size, the crowd filled up in
// between with the world standing still, so that nothing else differs.
inline void drawcount_crowds(const game_screen* s, const int* crowds, int n, int64_t* draws) {
  game_screen_update();
  game_screen_draw(s);  // a new game's first draw makes what it shows
  for (int k = 0; k < n; k++) {
    running_game_fill(crowds[k]);
    draws[k] = drawcount_frame(s);
  }
}
