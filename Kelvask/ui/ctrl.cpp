// The controller's state, its creation with the resources it owns, and its end.
#include "ctrl.h"

#include <SDL2/SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "camera.h"
#include "cats_draw.h"
#include "ctrl_handlers.h"
#include "geomdb.h"
#include "glpr.h"
#include "hints.h"
#include "hire.h"
#include "hud.h"
#include "light.h"
#include "log.h"
#include "matrix.h"
#include "modeldb.h"
#include "models.h"
#include "msgwords.h"
#include "notify.h"
#include "pane.h"
#include "quad.h"
#include "sengine.h"
#include "shaders.h"
#include "smenu.h"
#include "threadpool.h"
#include "txdb_raw.h"
#include "view.h"
#include "wld_draw.h"

int32_t ctrl_pressstate;

float ctrl_screenw, ctrl_screenh;
float ctrl_csf = 1.0f;
bool ctrl_firsttime = true;
float ctrl_coi[2] = {64.0f, 64.0f};
int32_t ctrl_coiheight;
float ctrl_climb;
int32_t ctrl_cursor[2] = {-1, -1};
int32_t ctrl_canplace;
int32_t ctrl_pointer[2];
float ctrl_skyangle;
int32_t ctrl_warned;
int32_t ctrl_buildmode;
int32_t ctrl_anchor[2] = {-1, -1};
bool ctrl_hudhidden;
int32_t ctrl_showgoal = -1;
int32_t ctrl_transcribe = 1;
bool ctrl_viewstale = true;
float ctrl_drawcam[5][16] = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                             {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                             {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                             {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1},
                             {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
float ctrl_fps = 60.0f;

static bool ctrl_debugoutput;
uint32_t ctrl_programs[SHADERS_COUNT];

// Instanced models: how many of each a frame may draw, and whether textured.
struct ctrl_model {
  geomdesc* desc;
  uint32_t instances;
  bool uv;
};

static const ctrl_model CURSOR_MODELS[] = {
    {&geomdesc_cursormdpos, 1, false},
    {&geomdesc_cursormdneg, 1, false},
    {&geomdesc_cursorarea, 1, false},
};

// The ground's meshes come before the cats' models, the rest after them.
static const ctrl_model GROUND_MODELS[] = {
    {&geomdesc_mappedterraingrn, 1, true},
    {&geomdesc_mappedterrainylw, 1, true},
    {&geomdesc_mappedterrainblu, 1, true},
};

static const ctrl_model WORLD_MODELS[] = {
    {&geomdesc_bucke, 1024, false},    {&geomdesc_buckf, 1024, false},
    {&geomdesc_platef, 1024, false},   {&geomdesc_platee, 1024, false},
    {&geomdesc_sickle, 1024, false},   {&geomdesc_stone, 4212, false},
    {&geomdesc_buildmark, 256, false}, {&geomdesc_grain, 1024, false},
    {&geomdesc_food, 1024, false},     {&geomdesc_farm, 4608, false},
    {&geomdesc_bakery, 32, false},     {&geomdesc_mappedbakery, 32, true},
    {&geomdesc_mappedtent, 128, true}, {&geomdesc_mappedtaxcollector, 16, true},
};

template <size_t N>
static void add_models(const ctrl_model (&models)[N]) {
  for (const ctrl_model& m : models) geomdb_add(m.desc, m.instances, m.uv);
}

#define CTRL_FOV 0.69115f

static const char* supported(bool yes) { return yes ? "support" : "not support"; }

static void ctrl_show_go(int shown) { view_shown[VIEW_GO] = (uint8_t)shown; }

void ctrl_init_camera() {
  camera_init(CTRL_FOV);
  camera_pid_target.p = -0.035f;
  camera_pid_target.i = -0.025f;
  camera_pid_target.d = -0.002f;
  camera.min_distance = 4.0f;
  camera.max_distance = 264.0f;
}

// Once per process: what outlives a GL context.
static void ctrl_init_resources() {
  LOG("OPTIMIZED build");
  LOG("Built on %s at %s", __DATE__, __TIME__);
  txdb_set_dir("./Art/raw/");
  const GLubyte* sl = glGetString(GL_SHADING_LANGUAGE_VERSION);
  LOG("GL_RENDERER: %s", (const char*)glGetString(GL_RENDERER));
  LOG("GL_VERSION: %s", (const char*)glGetString(GL_VERSION));
  LOG("GL_SHADING_LANGUAGE_VERSION: %s", sl ? (const char*)sl : "None");
  ctrl_init_camera();
  settings_selected = 0;
  notify_listen(MSG_SETTINGS, settings_on_message);
  settings_load();
  sengine_read_music_setting();
  notify_listen(MSG_PLAYFX, sengine_on_playfx);
  notify_listen(MSG_MUSICSETTING, sengine_on_musicsetting);
  view_reset();
  view_reset_pointers();
  add_models(CURSOR_MODELS);
  notify_listen(MSG_WORKFORCE, hire_on_workforce);
  hire_set_go_button(ctrl_show_go);
  threadpool_create();
  modeldb_add(&geomdesc_mappedcarrier, CROWDSZ);
  add_models(GROUND_MODELS);
  cats_init();
  add_models(WORLD_MODELS);
  sengine_init();
  for (float& p : spiral_phases) p = (float)(rand() & 0xfff) / -4095.0f;
  ctrl_firsttime = false;
}

void ctrl_reset() {
  ctrl_firsttime = true;
  ctrl_pressstate = 0;
  ctrl_screenw = ctrl_screenh = 0.0f;
  ctrl_csf = 1.0f;
  ctrl_coi[0] = ctrl_coi[1] = 64.0f;
  ctrl_coiheight = 0;
  ctrl_climb = 0.0f;
  ctrl_cursor[0] = ctrl_cursor[1] = -1;
  ctrl_canplace = 0;
  ctrl_pointer[0] = ctrl_pointer[1] = 0;
  ctrl_skyangle = 0.0f;
  ctrl_warned = 0;
  ctrl_buildmode = CTRL_MODE_NONE;
  ctrl_anchor[0] = ctrl_anchor[1] = -1;
  ctrl_hudhidden = false;
  ctrl_showgoal = -1;
  ctrl_transcribe = 1;
  ctrl_viewstale = true;
  for (float* m : ctrl_drawcam) mat4_identity(m);
  ctrl_fps = 60.0f;
  ctrl_tipwidth = 0.0f;
  ctrl_debugoutput = false;
  memset(ctrl_programs, 0, sizeof(ctrl_programs[0]) * SHADERS_COUNT);
}

bool ctrl_debug_output_usable(const char* const* extensions, int count, const void* entry) {
  if (!entry) return false;
  for (int i = 0; i < count; i++)
    if (extensions[i] && strcmp(extensions[i], "GL_ARB_debug_output") == 0) return true;
  return false;
}

static bool ctrl_has_debug_output() {
  GLint n = 0;
  glGetIntegerv(GL_NUM_EXTENSIONS, &n);
  const char* names[512];
  const int count = n < 512 ? n : 512;
  for (int i = 0; i < count; i++) names[i] = (const char*)glGetStringi(GL_EXTENSIONS, (GLuint)i);
  return ctrl_debug_output_usable(names, count, SDL_GL_GetProcAddress("glDebugMessageCallbackARB"));
}

static const char* debug_source(GLenum s) {
  switch (s) {
    case GL_DEBUG_SOURCE_API:
      return "API";
    case GL_DEBUG_SOURCE_WINDOW_SYSTEM:
      return "Window System";
    case GL_DEBUG_SOURCE_SHADER_COMPILER:
      return "Shader Compiler";
    case GL_DEBUG_SOURCE_THIRD_PARTY:
      return "Third Party";
    case GL_DEBUG_SOURCE_APPLICATION:
      return "Application";
    case GL_DEBUG_SOURCE_OTHER:
      return "Other";
  }
  return "Unknown";
}

static const char* debug_type(GLenum t) {
  switch (t) {
    case GL_DEBUG_TYPE_ERROR:
      return "Error";
    case GL_DEBUG_TYPE_DEPRECATED_BEHAVIOR:
      return "Deprecated Behavior";
    case GL_DEBUG_TYPE_UNDEFINED_BEHAVIOR:
      return "Undefined Behavior";
    case GL_DEBUG_TYPE_PORTABILITY:
      return "Portability";
    case GL_DEBUG_TYPE_PERFORMANCE:
      return "Performance";
    case GL_DEBUG_TYPE_OTHER:
      return "Other";
  }
  return "Unknown";
}

static const char* debug_severity(GLenum s) {
  switch (s) {
    case GL_DEBUG_SEVERITY_NOTIFICATION:
      return "Notification";
    case GL_DEBUG_SEVERITY_HIGH:
      return "High";
    case GL_DEBUG_SEVERITY_MEDIUM:
      return "Medium";
    case GL_DEBUG_SEVERITY_LOW:
      return "Low";
  }
  return "Unknown";
}

void ctrl_gl_debug_callback(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                            const GLchar* message, const void* user) {
  // Buffer usage hints are the driver's advice, not faults.
  if (strstr(message, "usage hint is")) return;
  LOG("ERR [%s][%s]{%s}: %.*s", debug_source(source), debug_type(type), debug_severity(severity),
      (int)length, message);
}

void ctrl_show_menu_screen() {
  view_shown[VIEW_MENU] = view_shown[VIEW_BANNER] = 1;
  for (int v = VIEW_GO; v <= VIEW_HIRE_PANEL; v++) view_shown[v] = 0;
  for (int v = VIEW_BUILD0; v <= VIEW_LABOR; v++) view_shown[v] = 1;
  for (int v = VIEW_COUNTER0; v < VIEW_WORLD; v++) view_shown[v] = 1;
  view_shown[VIEW_WORLD] = 0;
}

void ctrl_create(int32_t width, int32_t height, float csf) {
  LOG("ctrl_create( %d, %d, %f )", width, height, csf);
  ctrl_csf = csf;
  ctrl_screenw = (float)width;
  ctrl_screenh = (float)height;
  if (ctrl_firsttime) ctrl_init_resources();
  LOG("Does %s depth textures.", supported(true));
  LOG("Does %s discard framebuffer.", supported(true));
  LOG("Does %s vertex array.", supported(true));
  LOG("Does %s half float textures.", supported(true));
  ctrl_debugoutput = ctrl_has_debug_output();
  LOG("Does %s debug output.", supported(ctrl_debugoutput));
  if (ctrl_debugoutput) {
    glDebugMessageCallbackARB(ctrl_gl_debug_callback, nullptr);
    glEnable(GL_DEBUG_OUTPUT);
  }
  // A window that is never resized sends no "aspect": project from the creation size.
  if (width > 0 && height > 0)
    camera_set_perspective((float)width / (float)height, 1.0f, 400.0f, false);
  for (int k = 0; k < 2; k++) camera.target[k] = camera.target_goal[k] = 64.0f;
  camera.target[2] = camera.target_goal[2] = 0.0f;
  ctrl_restart_pid(&camera_pid_target);
  notify_post(MSG_CAMERACONTROL " distSetting=50.0 elevationSetting=0.5 orbitSetting=1.57");
  light_reset();
  light_init();
  ctrl_listen();
  shaders_load(ctrl_programs);
  LOG("Loaded %d geometry VBOs", modeldb_load_vbos());
  geomdb_load_vbos();
  quad_init();
  glpr_use(ctrl_programs[SHADERS_HUD]);
  glActiveTexture(GL_TEXTURE0);
  glUniform1i(glpr_uniform("texturemap"), 0);
  hud_load_resources();
  pane_create_vbo();
  view_layout((int32_t)ctrl_screenw, (int32_t)ctrl_screenh);
  ctrl_show_menu_screen();
  glClearDepth(1.0);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glpr_use(ctrl_programs[SHADERS_FONT]);
  glUniform2f(glpr_uniform("translation"), 0.0f, 0.0f);
  glUniform2f(glpr_uniform("rotx"), 1.0f, 0.0f);
  glUniform2f(glpr_uniform("roty"), 0.0f, 1.0f);
  wld_load_resources();
  view_shown[VIEW_INFO] = 1;
  notify_post(MSG_START " headless=0");
  ctrl_transcribe = settings_read(SETTINGS_TRANSCRIBE);
  hint_init();
  sengine_play_music(1);
}

void ctrl_destroy() {
  LOG("ctrl_destroy");
  ctrl_teardown_world();
  ctrl_unlisten();
  quad_delete();
  txdb_clear();
  LOG("Unloaded %d geometry VBOs", modeldb_delete_vbos());
  geomdb_delete_vbos();
  wld_delete_resources();
  pane_delete_vbo();
  shaders_delete(ctrl_programs);
}
