// The application shell: start-up, the frame loop, input routing, shut-down.
#pragma once
#include <cstdint>

#include <SDL2/SDL.h>

#include "view.h"

#define SDLMAIN_WORLD_VIEW 23
#define SDLMAIN_PATH_SZ 256

// Window and drawable.
extern SDL_Window* sdlmain_window;
extern SDL_GLContext sdlmain_context;
extern int32_t sdlmain_width;  // drawable size from start-up, window size after a resize
extern int32_t sdlmain_height;
extern float csf;                     // content scale: drawable width / width
extern const char* sdlmain_datapath;  // root of the art: the working directory
extern char sdlmain_userfolder[SDLMAIN_PATH_SZ];

// Command-line options.
extern int32_t sdlmain_headless;
extern int32_t sdlmain_msaa;
extern int32_t sdlmain_swapinterval;
extern int32_t sdlmain_resetstats;

// Input state read by the views and the pick.
extern bool sdlmain_quit;  // the back action found nothing to close

// The whole program; returns the process status.
int sdlmain_main(int argc, char** argv);

// The user data folder as files path, claimed for this process, and the log
// file opened there when this copy may write. Without the folder the working
// directory (the files path already set) serves, claimed as well, with no log.
void sdlmain_open_user_folder();

// Initialises SDL, opens the window with its GL context and applies the
// options; false when no context could be had (the player has been told).
bool sdlmain_open_window();

// The window's and its drawable's size as the window system has them, which
// SDL's own numbers are not when a fullscreen request went unanswered.
void sdlmain_window_size(int32_t* w, int32_t* h);
void sdlmain_drawable_size(int32_t* w, int32_t* h);
// Takes up the window's real size when it differs from the one in force: the
// new size, content scale and "aspect" message. For SDL's size events, and
// once a frame for a change SDL leaves unreported.
void sdlmain_follow_size();

// Returns only when the processor has AVX; otherwise ends the process with 102.
void sdlmain_check_cpu();
// "AVX[x] AVX2[ ] AVX512[ ]" for the features given.
void sdlmain_feature_line(bool avx, bool avx2, bool avx512, char out[32]);
// Assertion hook: shows the failed assertion in a message box.
void sdlmain_assert_dialog(const char* expr, const char* file, int line);
void sdlmain_assert_text(const char* expr, const char* file, int line, char out[512]);

// Applies "name=value" arguments after the program name; unknown ones are ignored.
void sdlmain_read_options(int argc, char** argv);
// The shell's globals and options as a fresh process has them, for after the
// window and its context were destroyed (it forgets their handles).
void sdlmain_reset();

// Simulation steps of 1/240 s for a frame that took elapsed seconds: 1..8.
int sdlmain_step_count(double elapsed);
// Seconds between two SDL_GetTicks readings, across the counter's wrap.
double sdlmain_elapsed(uint32_t now, uint32_t before);
// Window-system event position to drawable pixels with y up.
sdlmain_point sdlmain_to_drawable(int32_t x, int32_t y, int32_t height, float scale);

// Routes one event to the views, the controller and the bus.
void sdlmain_route(const SDL_Event* ev);
void sdlmain_on_mouse_button(const SDL_MouseButtonEvent* ev);
void sdlmain_on_mouse_motion(const SDL_MouseMotionEvent* ev);

// Drains events and runs frames until the game is to end.
void sdlmain_loop();
