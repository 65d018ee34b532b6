#include "hud.h"

#include <epoxy/gl.h>

#include <cmath>

#include "glpr.h"
#include "hire.h"
#include "log.h"
#include "quad.h"
#include "txdb_raw.h"

const char* const hud_textures[HUD_TEXTURE_COUNT] = {
    "water",
    "grain",
    "food",
    "sandstone",
    "dead",
    "silver",
    "field",
    "baker",
    "house",
    "taxcollector",
    "wall",
    "builder",
    "irrigationworker",
    "fieldworker",
    "householdservant",
    "labor",
    "grady",
    "go",
    "info",
    "circle",
    "emote",
    "star",
    "banner",
};
const char* const hud_trade_icons[4] = {"builder", "irrigationworker", "fieldworker",
                                        "householdservant"};
const int32_t hud_trade_max[4] = {100, 20, 20, 20};

void hud_load_resources() {
  LOG("hud_load_resources()");
  const int32_t cnt = HUD_TEXTURE_COUNT;
  const int32_t numloaded = txdb_load_dir(hud_textures, cnt);
  ASSERT(numloaded == cnt);
}

// A bar of the gauge: from x = -0.35 to -0.35 + workers / 100, half height h.
static void hud_draw_bar(int32_t workers, float h) {
  const float t[2] = {(workers / 100.0f - 0.35f - 0.35f) * 0.5f, 0};
  const float rx[2] = {workers * 0.5f / 100.0f, 0};
  const float ry[2] = {0, h};
  quad_draw("grady", t, rx, ry);
}

void hud_draw_gauge(int32_t trade) {
  static const GLint colour = glpr_uniform("colour");
  const char* icon = trade < 0 ? "silver" : hud_trade_icons[trade];
  glUniform4f(colour, 1, 1, 1, 1);
  const float t[2] = {-0.55f, 0}, rx[2] = {0.15f, 0}, ry[2] = {0, 1};
  quad_draw(icon, t, rx, ry);
  if (trade < 0) return;
  hud_draw_bar(hud_trade_max[trade], 0.5f);
  glUniform4f(colour, 0.3f, 0.8f, 0.2f, 1.0f);
  hud_draw_bar(hire_counts[trade], 0.485f);
}

void hud_draw_icon(const char* name, float* colour, bool selected, bool hovered,
                   float pulse_angle) {
  static const GLint colour_loc = glpr_uniform("colour");
  if (hovered) colour[0] = colour[1] = colour[2] = 1.2f, colour[3] = 1.0f;
  glUniform4f(colour_loc, colour[0], colour[1], colour[2], colour[3]);
  float s = hovered ? 1.028f : 1.0f;
  if (selected) s = sinf(pulse_angle) * 0.04f + 0.96f;
  if (colour[0] < 1.0f) s = 0.92f;  // a greyed button
  const float t[2] = {0, 0}, rx[2] = {s, 0}, ry[2] = {0, s};
  quad_draw(name, t, rx, ry);
}
