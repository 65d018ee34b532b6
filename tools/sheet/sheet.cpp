// sheet [ART_DIR [OUT.png]]: draws every HUD image, the button states, the
// gauges at several counts, the pane, numerals, symbols and a paragraph of
// text into one picture, offscreen, to look the HUD pieces over.
#include <SDL.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <vector>

#include "glpr.h"
#include "hire.h"
#include "hud.h"
#include "log.h"
#include "pane.h"
#include "png.h"
#include "quad.h"
#include "shaders.h"
#include "sheet_models.h"
#include "text.h"
#include "txdb_raw.h"

static const int SHEET_W = 1024, SHEET_H = 1040;
static uint32_t programs[SHADERS_COUNT];

// Viewport in sheet pixels from the top-left corner.
static void cell(int x, int y, int w, int h) { glViewport(x, SHEET_H - y - h, w, h); }

static void use_hud() {
  glpr_use(programs[SHADERS_HUD]);
  glUniform1i(glpr_uniform("texturemap"), 0);
}

void sheet_use_font(float r, float g, float b) {
  glpr_use(programs[SHADERS_FONT]);
  glUniform4f(glpr_uniform("colour"), r, g, b, 1);
}

static void label(const char* text) {
  sheet_use_font(0.9f, 0.9f, 0.8f);
  const float pos[3] = {-0.98f, 0.98f, 0}, size[3] = {0.09f, 0.3f, 0};
  text_draw(text, pos, size, "left", "top");
}

static void draw_images() {
  for (int i = 0; i < HUD_TEXTURE_COUNT; i++) {
    const int x = 8 + (i % 12) * 84, y = 8 + (i / 12) * 100;
    cell(x, y, 80, 80);
    use_hud();
    float white[4] = {1, 1, 1, 1};
    hud_draw_icon(hud_textures[i], white, false, false, 0);
    cell(x, y + 80, 80, 16);
    sheet_use_font(0.9f, 0.9f, 0.8f);
    const float pos[3] = {0, 0.95f, 0}, size[3] = {0.13f, 0.75f, 0};
    text_draw(hud_textures[i], pos, size, "center", "top");
  }
}

static void draw_buttons() {
  struct state {
    const char* name;
    float grey;
    bool selected, hovered;
    float angle;
  };
  const state states[] = {{"plain", 1, false, false, 0},
                          {"hovered", 1, false, true, 0},
                          {"greyed", 0.5f, false, false, 0},
                          {"grey hovered", 0.5f, false, true, 0},
                          {"selected low", 1, true, false, -1.57f},
                          {"selected high", 1, true, false, 1.57f}};
  for (int i = 0; i < 6; i++) {
    const int x = 8 + i * 84, y = 212;
    cell(x, y, 80, 80);
    use_hud();
    float colour[4] = {states[i].grey, states[i].grey, states[i].grey, 1};
    hud_draw_icon("field", colour, states[i].selected, states[i].hovered, states[i].angle);
    cell(x, y + 80, 80, 16);
    sheet_use_font(0.9f, 0.9f, 0.8f);
    const float pos[3] = {0, 0.95f, 0}, size[3] = {0.13f, 0.75f, 0};
    text_draw(states[i].name, pos, size, "center", "top");
  }
}

static void draw_gauges() {
  const int counts[4][3] = {{0, 40, 100}, {0, 10, 20}, {5, 15, 20}, {1, 2, 20}};
  for (int t = -1; t < 4; t++)
    for (int k = 0; k < 3; k++) {
      if (t < 0 && k > 0) continue;
      const int x = 8 + k * 250, y = 316 + (t + 1) * 44;
      if (t >= 0) hire_counts[t] = counts[t][k];
      cell(x, y, 240, 40);
      glClearColor(0.2f, 0.2f, 0.3f, 1);
      use_hud();
      hud_draw_gauge(t);
      sheet_use_font(0.8f, 0.7f, 0.8f);
      float pos[3] = {-0.74f, -1.0f, 0};
      const float size[3] = {0.04f, 0.5f, 0};
      text_draw_number(t < 0 ? 1234 : hire_counts[t], pos, size);
    }
}

static void draw_pane() {
  cell(760, 316, 256, 96);
  use_hud();
  pane_draw();
  sheet_use_font(0, 0.4f, 0);
  const float pos[3] = {0, 0, 0}, size[3] = {0.06f, 0.18f, 0};
  text_draw("A toast on its pane.\nTwo lines, centred.", pos, size, "center", "center");
}

static void draw_numerals() {
  const int values[] = {1, 9, 10, 1203, 5555, 9999};
  for (int i = 0; i < 6; i++) {
    cell(8 + i * 168, 540, 160, 60);
    sheet_use_font(1, 1, 0.7f);
    float pos[3] = {0.98f, -0.97f, 0};
    const float size[3] = {0.17f, 0.34f, 0};
    text_draw_number(values[i], pos, size);
    char text[16];
    snprintf(text, sizeof text, "%d", values[i]);
    label(text);
  }
  for (int glyph = 1; glyph <= 4; glyph++)
    for (int count = 1; count <= 9; count++) {
      cell(8 + (count - 1) * 56, 604 + (glyph - 1) * 40, 52, 38);
      sheet_use_font(0.8f, 0.9f, 1);
      const float pos[3] = {0.9f, -0.9f, 0}, size[3] = {0.35f, 0.42f, 0};
      text_draw_symbols(glyph, count, pos, size);
    }
}

static void draw_paragraph() {
  cell(520, 604, 496, 160);
  sheet_use_font(1, 1, 1);
  const float pos[3] = {-0.98f, 0.95f, 0}, size[3] = {0.035f, 0.11f, 0};
  text_draw(
      "The quick brown fox jumps over the lazy dog.\n"
      "THE QUICK BROWN FOX JUMPS OVER THE LAZY DOG!\n"
      "0123456789 +-*/=<>()[]{} .,:;'\"?@#$%&_|\\~^`\n"
      "Workers: 4000, silver: 200, layers: 7 of 7.\n"
      "Irrigation Worker, Farm Worker, Household Servant.",
      pos, size, "left", "top");
}

int main(int argc, char** argv) {
  const char* dir = argc > 1 ? argv[1] : "Art/raw/";
  const char* out = argc > 2 ? argv[2] : "sheet.png";
  if (SDL_Init(SDL_INIT_VIDEO) != 0) return 1;
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 2);
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
  SDL_Window* window =
      SDL_CreateWindow("sheet", 0, 0, SHEET_W, SHEET_H, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
  if (!context) {
    LOG("ERR No GL context: %s", SDL_GetError());
    return 1;
  }
  shaders_load(programs);
  // The font program places text as laid out, as the controller sets it up.
  glpr_use(programs[SHADERS_FONT]);
  glUniform2f(glpr_uniform("translation"), 0, 0);
  glUniform2f(glpr_uniform("rotx"), 1, 0);
  glUniform2f(glpr_uniform("roty"), 0, 1);
  quad_init();
  pane_create_vbo();
  txdb_set_dir(dir);
  LOG("Loaded %d of %d HUD textures", txdb_load_dir(hud_textures, HUD_TEXTURE_COUNT),
      HUD_TEXTURE_COUNT);
  static const char* const maps[] = {"terrain_grn.pkm",     "terrain_ylw.pkm", "terrain_blu.pkm",
                                     "bakerymap.pkm",       "hutmap.pkm",      "tentmap.pkm",
                                     "taxcollectormap.pkm", "carriermap.pkm"};
  LOG("Loaded %d of 8 compressed textures", txdb_load_pkms(maps, 8));

  glViewport(0, 0, SHEET_W, SHEET_H);
  glClearColor(0.2f, 0.2f, 0.3f, 1);
  glClearDepth(1.0);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  glActiveTexture(GL_TEXTURE0);
  draw_images();
  draw_buttons();
  draw_gauges();
  draw_pane();
  draw_numerals();
  draw_paragraph();
  sheet_draw_models(776, SHEET_W, SHEET_H);

  std::vector<uint8_t> px(SHEET_W * SHEET_H * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, SHEET_W, SHEET_H, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;
  const bool ok = png_write(out, px.data(), SHEET_W, SHEET_H);
  LOG(ok ? "Wrote %s" : "ERR Could not write %s", out);
  txdb_clear();
  SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return ok ? 0 : 1;
}
