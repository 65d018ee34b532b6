#include <SDL2/SDL_syswm.h>

#include <cstdio>

#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "sdlmain.h"

// The X server's size of the window. Without a window manager an X window
// keeps its size while SDL takes a fullscreen request as done and reports the
// screen's; what the player sees, and where the pointer lands, is X's.
static bool x11_size(int32_t* w, int32_t* h) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(sdlmain_window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  Window root;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  if (!XGetGeometry(info.info.x11.display, info.info.x11.window, &root, &x, &y, &width, &height,
                    &border, &depth))
    return false;
  *w = (int32_t)width;
  *h = (int32_t)height;
  return true;
#else
  return false;
#endif
}

void sdlmain_window_size(int32_t* w, int32_t* h) {
  if (!x11_size(w, h)) SDL_GetWindowSize(sdlmain_window, w, h);
}

// SDL's X11 drawable is the window itself, pixel for pixel.
void sdlmain_drawable_size(int32_t* w, int32_t* h) {
  if (!x11_size(w, h)) SDL_GL_GetDrawableSize(sdlmain_window, w, h);
}

void sdlmain_follow_size() {
  int32_t w = 0, h = 0;
  sdlmain_window_size(&w, &h);
  if ((w == sdlmain_width && h == sdlmain_height) || w <= 0 || h <= 0) return;
  sdlmain_width = w;
  sdlmain_height = h;
  int32_t dw = 0, dh = 0;
  sdlmain_drawable_size(&dw, &dh);
  csf = (float)dw / (float)sdlmain_width;
  LOG("content scale factor: %f", csf);
  char msg[128];
  snprintf(msg, sizeof msg, MSG_ASPECT " ratio=%f width=%d height=%d csf=%f",
           (float)sdlmain_width / (float)sdlmain_height, dw, dh, csf);
  notify_post(msg);
}
