#include "sdlmain.h"

#include <signal.h>

#include <cstdio>

#include <epoxy/gl.h>

#include "ctrl.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "regfile.h"
#include "sengine.h"
#include "stackwalker_guard.h"
#include "steam.h"
#include "steamlayer.h"
#include "threadpool.h"
#include "userdir.h"

SDL_Window* sdlmain_window;
SDL_GLContext sdlmain_context;
int32_t sdlmain_width = 1280;
int32_t sdlmain_height = 720;
float csf = 1.0f;
const char* sdlmain_datapath = ".";
char sdlmain_userfolder[SDLMAIN_PATH_SZ];

enum { STATUS_NO_STEAM = 101, STATUS_NO_CONTEXT = 102, STARTED = -1 };

// 64x64, one 0x00RRGGBB word per pixel, made by assetgen at build time.
static uint32_t sdlmain_icon[64 * 64] = {
#include "icon.inc"
};

static void show_error(const char* title, const char* text) {
  SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, nullptr);
}

void sdlmain_open_user_folder() {
  sdlmain_userfolder[0] = '\0';
  if (!steamlayer_user_data_folder(sdlmain_userfolder, SDLMAIN_PATH_SZ)) {
    LOG("ERR Failed to get the user data folder from steam.");
    // Two copies started there would still overwrite each other's save.
    userdir_claim(filesPath);
    return;
  }
  LOG("User data folder is '%s'", sdlmain_userfolder);
  filesPath = sdlmain_userfolder;
  if (userdir_claim(filesPath) != USERDIR_WRITABLE) return;
  char name[SDLMAIN_PATH_SZ + 32], previous[SDLMAIN_PATH_SZ + 32];
  snprintf(name, sizeof name, "%s/tavoreklog.txt", filesPath);
  snprintf(previous, sizeof previous, "%s/tavoreklog-previous.txt", filesPath);
  userdir_clear_odd(name, REGFILE_NOFOLLOW);
  if (log_open(name, previous))
    LOG("Opened log file at %s.", name);
  else
    LOG("ERR Could not open log file at %s: %s.", name, regfile_reason());
}

static void init_sdl() {
  const Uint32 flags = SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO | SDL_INIT_GAMECONTROLLER;
  if (SDL_Init(flags) == 0) return;
  // SDL undoes every subsystem when one fails; sound goes through OpenAL, so
  // a missing SDL audio driver must not take the window with it.
  LOG("ERR SDL_Init failed: %s", SDL_GetError());
  SDL_Init(flags & ~SDL_INIT_AUDIO);
}

static void set_gl_attributes() {
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  if (sdlmain_msaa) {
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLEBUFFERS, 1);
    SDL_GL_SetAttribute(SDL_GL_MULTISAMPLESAMPLES, 4);
  }
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
}

static void fit_to_desktop() {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) != 0) {
    LOG("ERR SDL_GetDesktopDisplayMode failed: %s", SDL_GetError());
    return;
  }
  LOG("The desktop resolution is %dx%d", mode.w, mode.h);
  if (sdlmain_width > mode.w) sdlmain_width = mode.w;
  if (sdlmain_height > mode.h) sdlmain_height = mode.h;
}

static void set_icon() {
  SDL_Surface* icon = SDL_CreateRGBSurfaceFrom(sdlmain_icon, 64, 64, 32, 64 * 4, 0x00FF0000,
                                               0x0000FF00, 0x000000FF, 0);
  if (!icon) {
    LOG("ERR Failed to create surface for icon.");
    return;
  }
  SDL_SetWindowIcon(sdlmain_window, icon);
  SDL_FreeSurface(icon);
}

static void create_window() {
  sdlmain_window = SDL_CreateWindow(
      "Tavorek, Ombrelith", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, sdlmain_width,
      sdlmain_height, SDL_WINDOW_OPENGL | SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
  ASSERT(sdlmain_window);
  set_icon();
}

static bool create_context() {
  sdlmain_context = SDL_GL_CreateContext(sdlmain_window);
  if (!sdlmain_context) {
    show_error("Missing GL context", "SDL_GL_CreateContext() failed.\n");
    return false;
  }
  int depth = 0;
  SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
  LOG("Successfully Created OpenGL context (depth size %d).", depth);
  // Without a window manager the request is not honoured: the size is read back.
  if (!sdlmain_headless) SDL_SetWindowFullscreen(sdlmain_window, SDL_WINDOW_FULLSCREEN_DESKTOP);
  sdlmain_drawable_size(&sdlmain_width, &sdlmain_height);
  LOG("drawable size: %dx%d", sdlmain_width, sdlmain_height);
  SDL_GL_SetSwapInterval(sdlmain_swapinterval);
  return true;
}

// SDL turns SIGINT and SIGTERM into a quit event, after which the game is
// saved; a closed terminal (SIGHUP) is passed on as SIGTERM to end the same way.
static void on_hangup(int) { raise(SIGTERM); }

static void quit_on_hangup() {
  struct sigaction term, hup;
  sigaction(SIGTERM, nullptr, &term);
  sigaction(SIGHUP, nullptr, &hup);
  // An ignored hang-up (nohup) stays ignored; without SDL's handler a SIGTERM would kill.
  if (hup.sa_handler == SIG_IGN || term.sa_handler == SIG_DFL || term.sa_handler == SIG_IGN) return;
  signal(SIGHUP, on_hangup);
}

bool sdlmain_open_window() {
  init_sdl();
  quit_on_hangup();
  set_gl_attributes();
  fit_to_desktop();
  create_window();
  return create_context();
}

// Controllers stay open until SDL_Quit.
static void open_controllers() {
  const int count = SDL_NumJoysticks();
  LOG("Number of joysticks: %d", count);
  FILE* db = regfile_open("gamecontrollerdb.txt", "rb");
  if (!db && regfile_is_other("gamecontrollerdb.txt"))
    LOG("ERR Cannot read gamecontrollerdb.txt: %s", regfile_reason());
  // A missing file gives -1, as SDL reports it.
  const int mappings =
      SDL_GameControllerAddMappingsFromRW(db ? SDL_RWFromFP(db, SDL_TRUE) : nullptr, 1);
  LOG("Added %d gamecontroller mappings.", mappings);
  int opened = 0;
  for (int i = 0; i < count; i++) {
    if (!SDL_IsGameController(i)) continue;
    if (SDL_GameControllerOpen(i))
      opened++;
    else
      LOG("ERR Could not open gamecontroller %i: %s", i, SDL_GetError());
  }
  if (opened == 0) LOG("Did not find a supported gamepad.");
}

// Runs start-up; returns the exit status when the process is to end, else STARTED.
static int start(int argc, char** argv) {
  // A reader of standard output that goes away (a closed pipe) must not end
  // the game: the log file keeps every line, and the game is saved at the end.
  signal(SIGPIPE, SIG_IGN);
  sdlmain_check_cpu();
  filesPath = ".";
  assert_hook = sdlmain_assert_dialog;

  const bool steam = steamlayer_init();
  LOG("%s initialize steam.", steam ? "Did" : "Could not");
  if (!steam || !steamlayer_user()) {
    show_error("Missing Steam Client",
               "You need to be running the Steam client to play this game.\n"
               "The reason for this is that without Steam running, this game does not know "
               "where on your harddisk to save the game data.\n");
    return STATUS_NO_STEAM;
  }
  sdlmain_open_user_folder();
  LOG("Tavorek, Ombrelith v117");
  sdlmain_read_options(argc, argv);
  steam_init(sdlmain_resetstats);
  stackwalker_guard_install();

  if (!sdlmain_open_window()) return STATUS_NO_CONTEXT;
  open_controllers();

  // epoxy resolves entry points on first use; its GL version (32 or more for
  // our core context) stands in for a loader result, nonzero meaning success.
  LOG("version of gl3w: %d", epoxy_gl_version());
  int drawablew = 0, drawableh = 0;
  sdlmain_drawable_size(&drawablew, &drawableh);
  csf = (float)drawablew / (float)sdlmain_width;

  ctrl_create(sdlmain_width, sdlmain_height, csf);
  notify_post(MSG_SERIALIZE " out=0");
  if (sdlmain_headless) return 0;
  return STARTED;
}

static void shut_down() {
  notify_post(MSG_SERIALIZE " out=1");
  ctrl_destroy();
  sengine_exit();
  notify_unlisten(MSG_PLAYFX, sengine_on_playfx);
  notify_unlisten(MSG_MUSICSETTING, sengine_on_musicsetting);
  if (threadpool_pool) threadpool_destroy();
  SDL_GL_DeleteContext(sdlmain_context);
  SDL_DestroyWindow(sdlmain_window);
  LOG("Shutting down SDL2 framework.");
  SDL_Quit();
  LOG("Shutting down SteamAPI.");
  steamlayer_shutdown();
}

int sdlmain_main(int argc, char** argv) {
  const int status = start(argc, argv);
  if (status != STARTED) return status;
  sdlmain_loop();
  shut_down();
  return 0;
}
