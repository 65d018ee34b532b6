#include <epoxy/gl.h>

#include "ctrl.h"
#include "sdlmain.h"
#include "stackwalker_guard.h"
#include "steamlayer.h"

int sdlmain_step_count(double elapsed) {
  // A frame takes the whole steps that fit, rounded to nearest, at least one, at most
  // eight: a slow machine slows the game down instead of falling further behind.
  for (int k = 7; k >= 1; k--)
    if (elapsed > (k + 0.5) / 240.0) return k + 1;
  return 1;
}

double sdlmain_elapsed(uint32_t now, uint32_t before) { return (uint32_t)(now - before) / 1000.0; }

static bool pixel_inside(sdlmain_point p, int32_t width, int32_t height) {
  return p.x >= 0.0f && p.y >= 0.0f && p.x < (float)width && p.y < (float)height;
}

// The depth under the pointer, 1.0 (nothing there) when the pointer lies
// outside the drawable: the window may have shrunk or gone since the pointer
// last moved, and a read past the drawable's edge can crash the driver.
static float depth_under_pointer() {
  if (SDL_GetWindowFlags(sdlmain_window) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) return 1.0f;
  int32_t w = 0, h = 0;
  sdlmain_drawable_size(&w, &h);
  if (!pixel_inside(sdlmain_pointer, w, h)) return 1.0f;
  float depth = 1.0f;
  glReadPixels((GLint)sdlmain_pointer.x, (GLint)sdlmain_pointer.y, 1, 1, GL_DEPTH_COMPONENT,
               GL_FLOAT, &depth);
  return depth;
}

static void frame(uint32_t* ticks) {
  // A window manager may size the window after SDL has already reported the
  // size it asked for, and then SDL reports nothing more.
  sdlmain_follow_size();
  glClearColor(0.6f, 0.7f, 1.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  const uint32_t now = SDL_GetTicks();
  const double elapsed = sdlmain_elapsed(now, *ticks);
  *ticks = now;

  // A fault from here to the draw's end leaves a stack trace and status 1.
  stackwalker_guard_enter();
  const int steps = sdlmain_step_count(elapsed);
  const float dt = (float)(steps / 240.0);
  ctrl_update(steps, dt);
  glViewport(0, 0, sdlmain_width, sdlmain_height);
  ctrl_draw(dt, (float)elapsed);
  stackwalker_guard_leave();

  // The depth is read before the swap: the swap lets the driver take up a
  // new window size, and a read after it can land beyond the buffers.
  const float depth = depth_under_pointer();
  steamlayer_run_callbacks();
  SDL_GL_SwapWindow(sdlmain_window);
  ctrl_pick(depth);

  if (sdlmain_released) ctrl_release();
  sdlmain_buttons = 0;
  sdlmain_released = 0;
}

void sdlmain_loop() {
  // Remember the quit event itself: events queued behind it in the same drain
  // must not make the loop miss it.
  bool quit_taken = false;
  uint32_t ticks = SDL_GetTicks();
  for (;;) {
    SDL_Event ev;
    while (SDL_PollEvent(&ev)) {
      if (ev.type == SDL_QUIT) quit_taken = true;
      sdlmain_route(&ev);
    }
    frame(&ticks);
    if (quit_taken || sdlmain_quit) return;
  }
}
