// The frame: the menu screen, or the game screen's hire panel, HUD icons,
// build buttons, toast, costs, counters and tooltips over the world view.
#include <epoxy/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "camera.h"
#include "ctrl.h"
#include "ctrl_cursor.h"
#include "farms.h"
#include "food.h"
#include "geomdb.h"
#include "glpr.h"
#include "grain.h"
#include "hints.h"
#include "hire.h"
#include "hud.h"
#include "huts.h"
#include "kv.h"
#include "light.h"
#include "matrix.h"
#include "modeldb.h"
#include "pane.h"
#include "quad.h"
#include "shaders.h"
#include "smenu.h"
#include "stones.h"
#include "taxc.h"
#include "text.h"
#include "txdb_raw.h"
#include "view.h"
#include "wld.h"
#include "wld_state.h"
#include "world_pass.h"

float ctrl_tipwidth;

static const char* const TOOLTIPS[VIEWCOUNT] = {nullptr,
                                                nullptr,
                                                nullptr,
                                                "Go",
                                                "Silver",
                                                "Builder",
                                                "Irrigation Worker",
                                                "Farm Worker",
                                                "Household Servant",
                                                nullptr,
                                                "Field",
                                                "Baker",
                                                "House",
                                                "Tax Official",
                                                "Wall",
                                                "Labor",
                                                nullptr,
                                                "Silver",
                                                "Water",
                                                "Grain",
                                                "Food",
                                                "Sandstone",
                                                "Dead",
                                                nullptr};
static const char* const COUNTER_ICONS[6] = {"silver", "water",     "grain",
                                             "food",   "sandstone", "dead"};
static const char* const BUILD_ICONS[6] = {"field",        "baker", "house",
                                           "taxcollector", "wall",  "labor"};

// The view's rectangle in drawable pixels times the content scale.
static void set_viewport(int v) {
  const view_rectangle r = view_get(v);
  glViewport((GLint)(r.x * ctrl_csf), (GLint)(r.y * ctrl_csf), (GLsizei)(r.w * ctrl_csf),
             (GLsizei)(r.h * ctrl_csf));
}

static void use(int program) { glpr_use(ctrl_programs[program]); }

// One uniform "colour" per program, looked up once.
static void font_colour(float r, float g, float b) {
  static const GLint loc = (use(SHADERS_FONT), glpr_uniform("colour"));
  glUniform4f(loc, r, g, b, 1.0f);
}

static void hud_icon(int v, const char* name) {
  static const GLint loc = (use(SHADERS_HUD), glpr_uniform("colour"));
  set_viewport(v);
  txdb_use(name);
  glUniform4f(loc, 1.0f, 1.0f, 1.0f, 1.0f);
  const float origin[2] = {0.0f, 0.0f}, rotx[2] = {1.0f, 0.0f}, roty[2] = {0.0f, 1.0f};
  quad_draw(name, origin, rotx, roty);
}

static void flat_state(bool blend) {
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  if (blend)
    glEnable(GL_BLEND);
  else
    glDisable(GL_BLEND);
  glDisable(GL_POLYGON_OFFSET_FILL);
}

// The menu replaces the whole game screen: the settings rows and the banner.
static void draw_menu_screen(float dt) {
  set_viewport(VIEW_MENU);
  glClearColor(0.5f, 0.33f, 0.1f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  flat_state(false);
  use(SHADERS_FONT);
  settings_draw(dt);
  use(SHADERS_HUD);
  hud_icon(VIEW_BANNER, "banner");
  // A message the menu must not hide, such as why no game can start: over
  // the banner, clear of the rows.
  if (view_shown[VIEW_TOAST]) {
    const view_rectangle t = view_get(VIEW_TOAST), b = view_get(VIEW_BANNER);
    flat_state(true);
    glViewport((GLint)(t.x * ctrl_csf), (GLint)((b.y + (b.h - t.h) / 2) * ctrl_csf),
               (GLsizei)(t.w * ctrl_csf), (GLsizei)(t.h * ctrl_csf));
    pane_draw();
    use(SHADERS_FONT);
    font_colour(0.0f, 0.4f, 0.0f);
    toast_draw(dt);
  }
}

static void draw_hire_panel() {
  if (view_shown[VIEW_HIRE_PANEL]) {
    set_viewport(VIEW_HIRE_PANEL);
    glClearColor(0.2f, 0.2f, 0.3f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    flat_state(false);
  }
  for (int v = VIEW_SILVER_GAUGE; v < VIEW_HIRE_PANEL; v++) {
    if (!view_shown[v]) continue;
    use(SHADERS_HUD);
    set_viewport(v);
    hud_draw_gauge(v == VIEW_SILVER_GAUGE ? -1 : v - VIEW_SLIDER0);
    use(SHADERS_FONT);
    font_colour(0.8f, 0.7f, 0.8f);
    int32_t n = 0;
    if (v == VIEW_SILVER_GAUGE) {
      n = taxc_silver;
      for (int t = 0; t < TRADECNT; t++) n -= hire_counts[t];
    } else {
      n = hire_counts[v - VIEW_SLIDER0];
    }
    float at[2] = {-0.74f, -1.0f};
    const float size[2] = {0.04f, 0.5f};
    text_draw_number(n, at, size);
  }
}

static int32_t counter_value(int v) {
  switch (v - VIEW_COUNTER0) {
    case 0:
      return taxc_silver;
    case 1:
      return farms_total_water();
    case 2:
      return grain_count_in_use();
    case 3:
      return food_count_in_use();
    case 4:
      return stones_numdeposited;
  }
  return wld_numdead;
}

static void draw_icons() {
  use(SHADERS_HUD);
  flat_state(true);
  if (view_shown[VIEW_INFO]) hud_icon(VIEW_INFO, "info");
  if (view_shown[VIEW_GO]) hud_icon(VIEW_GO, "go");
  if (view_shown[VIEW_TOAST]) {
    set_viewport(VIEW_TOAST);
    pane_draw();
  }
  for (int v = VIEW_COUNTER0; v < VIEW_WORLD; v++)
    if (view_shown[v] && wld_started && !ctrl_hudhidden)
      hud_icon(v, COUNTER_ICONS[v - VIEW_COUNTER0]);
}

static void draw_build_buttons(int hovered) {
  for (int v = VIEW_BUILD0; v <= VIEW_LABOR; v++) {
    if (!view_shown[v] || ctrl_hudhidden) continue;
    const int mode = v - VIEW_BUILD0 + 1;
    const bool white = v == VIEW_LABOR || ctrl_buildmode == 0 || ctrl_buildmode == mode;
    float colour[4] = {white ? 1.0f : 0.5f, white ? 1.0f : 0.5f, white ? 1.0f : 0.5f, 1.0f};
    set_viewport(v);
    hud_draw_icon(BUILD_ICONS[v - VIEW_BUILD0], colour, v != VIEW_LABOR && ctrl_buildmode == mode,
                  ctrl_pressstate == 0 && hovered == v, ctrl_skyangle);
  }
}

static void draw_cost(int hovered) {
  if (ctrl_hudhidden || hovered < VIEW_BUILD0 || hovered > VIEW_BUILD0 + 3) return;
  const int32_t cost = ctrl_build_cost(hovered - VIEW_BUILD0 + 1);
  set_viewport(hovered);
  font_colour(0.0f, 0.0f, 0.2f);
  if (ctrl_transcribe) {
    char text[128];
    snprintf(text, sizeof text, "%d", cost);
    const float at[2] = {0.97f, -0.9f}, size[2] = {0.1f, 0.29f};
    text_draw(text, at, size, "right", "bottom");
  } else {
    float at[2] = {0.9f, -0.9f};
    const float size[2] = {0.12f, 0.2f};
    text_draw_number(cost, at, size);
  }
}

static void draw_tooltip(int hovered) {
  static char hut[256];
  const char* label = hovered >= 0 ? TOOLTIPS[hovered] : nullptr;
  if (hovered == VIEW_WORLD && ctrl_cursor[0] >= 0 && ctrl_cursor[1] >= 0) {
    const int h = huts_find_at(ctrl_cursor[1] * GRIDSZ + ctrl_cursor[0]);
    if (h >= 0) {
      snprintf(hut, sizeof hut, "%d/10", huts_occu[h]);
      label = hut;
    }
  }
  if (!label || ctrl_pressstate != 0 || ctrl_hudhidden || !(ctrl_screenw > 0) ||
      !(ctrl_screenh > 0))
    return;
  set_viewport(VIEW_WORLD);
  const float x = 2.0f * ctrl_pointer[0] / ctrl_screenw - 1.0f,
              y = 2.0f * ctrl_pointer[1] / ctrl_screenh - 1.0f;
  const float sx = 18.0f / ctrl_screenw, sy = 30.0f / ctrl_screenh;
  const float size[2] = {sx, sy};
  // Near an edge the tip and its backdrop (the last tip's width) move in.
  float w = 0, h = 0, at[2];
  text_measure(label, size, &w, &h);
  text_keep_inside(x, y, std::max(w, ctrl_tipwidth), h, 0.3f * sx, 0.1f * sy, at);
  if (ctrl_tipwidth != 0.0f) {
    static const char BOX[2] = {24, 0};
    font_colour(0.9f, 0.8f, 0.2f);
    const float box[2] = {at[0] - 0.3f * sx, at[1] - 0.1f * sy},
                boxsize[2] = {0.6f * sx + ctrl_tipwidth, 1.2f * sy};
    text_draw(BOX, box, boxsize, "left", "bottom");
  }
  font_colour(0.0f, 0.0f, 0.0f);
  ctrl_tipwidth = text_draw(label, at, size, "left", "bottom");
}

static void draw_hud_text(float dt, int hovered) {
  use(SHADERS_FONT);
  font_colour(0.0f, 0.4f, 0.0f);
  if (view_shown[VIEW_TOAST]) {
    set_viewport(VIEW_TOAST);
    toast_draw(dt);
  }
  draw_cost(hovered);
  font_colour(0.0f, 0.0f, 0.2f);
  for (int v = VIEW_COUNTER0; v < VIEW_WORLD; v++) {
    if (!view_shown[v] || ctrl_hudhidden) continue;
    set_viewport(v);
    float at[2] = {0.98f, -0.97f};
    const float size[2] = {0.17f, 0.34f};
    text_draw_number(counter_value(v), at, size);
  }
  if (ctrl_transcribe) draw_tooltip(hovered);
}

// The cursor's footprint or the marked rectangle, while no drag is under way.
static bool showing_marker() {
  return ctrl_cursor[0] >= 0 && ctrl_cursor[1] >= 0 && ctrl_buildmode > 0 && ctrl_pressstate < 2;
}

// The outlines would take whatever colour the last line drawing left.
static void marker_line_colour() {
  static const GLint colour = glpr_uniform("linecolour"), fog = glpr_uniform("fogintensity");
  glUniform4f(colour, 0.1f, 0.1f, 0.1f, 1.0f);
  glUniform1f(fog, 0.0f);
}

static void draw_marker(bool outline) {
  if (!showing_marker()) return;
  const bool area = ctrl_buildmode == 5 && ctrl_anchor[0] >= 0 && ctrl_anchor[1] >= 0;
  if (outline) marker_line_colour();
  if (area) {
    if (outline)
      ctrl_draw_area_lines(ctrl_drawcam, wld_height);
    else
      ctrl_draw_area(ctrl_drawcam, wld_height);
  } else {
    if (outline)
      ctrl_draw_cursor_lines(ctrl_drawcam, ctrl_canplace != 0, wld_height);
    else
      ctrl_draw_cursor(ctrl_drawcam, ctrl_canplace != 0, wld_height);
  }
}

static void draw_emotes(float dt) {
  static const int shown = kv_setting(KV_EMOTE);
  const float zoom = std::min(std::max(1280.0f / camera.distance, 8.0f), 48.0f);
  glPointSize((cosf(4.0f * (float)wld_age) * 0.17f + 1.0f) * zoom);
  if (!shown) return;
  txdb_use("emote");
  ctrl_draw_emotes(dt, ctrl_drawcam);
}

// Over the world: emotes, the selection's spiral and the frame rate.
static void draw_overlays(float dt) {
  use(SHADERS_EMOT);
  glEnable(GL_BLEND);
  draw_emotes(dt);
  if (wld_selected >= 0 || wld_selectedcat >= 0) {
    glPointSize(std::min(std::max(400.0f / camera.distance, 1.0f), 24.0f));
    txdb_use("star");
    spiral_draw(ctrl_drawcam[0], wld_age);
  }
  glDisable(GL_BLEND);
  use(SHADERS_FONT);
  font_colour(0.0f, 0.1f, 0.22f);
  glDisable(GL_POLYGON_OFFSET_FILL);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  char fps[16];
  snprintf(fps, sizeof fps, "%3.0f fps", ctrl_fps);
  const float at[2] = {-0.99f, -0.99f}, size[2] = {0.03f, 0.03f};
  text_draw(fps, at, size, "left", "bottom");
}

// The 3D world in view 23.
static void draw_world(float dt) {
  set_viewport(VIEW_WORLD);
  const world_pass pass = {ctrl_drawcam, ctrl_programs, ctrl_showgoal, draw_marker, draw_overlays};
  world_pass_draw(&pass, dt);
}

void ctrl_draw(float dt, float elapsed) {
  if (elapsed > 0.0001f && elapsed < 1.0f) ctrl_fps = 0.98f * ctrl_fps + 0.02f / elapsed;
  light_set_ortho(camera.distance * 0.5f, 1.0f, 44.0f);
  if (ctrl_viewstale) {
    mat4_invert(camera.camera_matrix, camera.view_matrix);
    ctrl_viewstale = false;
  }
  memcpy(ctrl_drawcam[1], camera.view_matrix, sizeof ctrl_drawcam[1]);
  memcpy(ctrl_drawcam[2], camera.projection_matrix, sizeof ctrl_drawcam[2]);
  memcpy(ctrl_drawcam[3], light.view_matrix, sizeof ctrl_drawcam[3]);
  memcpy(ctrl_drawcam[4], light.projection_matrix, sizeof ctrl_drawcam[4]);
  // Nothing to draw before the programs exist.
  if (!ctrl_programs[SHADERS_FONT]) return;
  if (view_shown[VIEW_MENU]) {
    draw_menu_screen(dt);
    return;
  }
  draw_hire_panel();
  if (view_shown[VIEW_WORLD] && wld_initialised) draw_world(dt);
  draw_icons();
  const int hovered = view_hit(ctrl_pointer[0], ctrl_pointer[1]);
  draw_build_buttons(hovered);
  draw_hud_text(dt, hovered);
  geomdb_next_set();
  modeldb_next_set();
}
