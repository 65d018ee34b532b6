// The settings menu drawn on the menu view, with the Font program in use.
#include <epoxy/gl.h>

#include <cmath>

#include "glpr.h"
#include "smenu.h"
#include "text.h"

#define SETTINGS_TWO_PI 6.2831855f

static const char* const ROW_LABELS[SETTINGS_ROWS] = {
    "Transcribe Hieroglyphs", "Music", "Difficulty", "GUIDE", "PLAY", "RESTART"};
// Glyphs of the font for a setting that is on and off.
static const char GLYPH_ON[2] = {27, 0};
static const char GLYPH_OFF[2] = {26, 0};

void settings_draw(float dt) {
  settings_pulse += dt;
  if (settings_pulse > SETTINGS_TWO_PI) settings_pulse -= SETTINGS_TWO_PI;
  static const GLint rotx = glpr_uniform("rotx"), roty = glpr_uniform("roty");
  static const GLint translation = glpr_uniform("translation"), colour = glpr_uniform("colour");
  glUniform2f(rotx, 1.0f, 0.0f);
  glUniform2f(roty, 0.0f, 1.0f);
  glUniform2f(translation, 0.0f, 0.0f);
  for (int r = 0; r < SETTINGS_ROWS; r++) {
    const float y = 1.0f - (r + 6.5f) * 2.0f / 13.0f;
    float size[2] = {0.065f, 1.0f / 13.0f};
    if (r < SETTINGS_STORED) size[0] = 0.0403f, size[1] = 0.62f / 13.0f;
    if (r == settings_selected) {
      glUniform4f(colour, 0.96f, 0.92f, 0.1f, 1.0f);
      size[1] *= 1.0f + 0.05f * cosf(36.0f * settings_pulse);
    } else {
      glUniform4f(colour, 0.8f, 0.8f, 0.57f, 1.0f);
    }
    const float label[2] = {-0.77f, y};
    text_draw(ROW_LABELS[r], label, size, "left", "center");
    if (r == SETTINGS_TRANSCRIBE || r == SETTINGS_MUSIC) {
      const float at[2] = {0.66f, y}, glyph[2] = {0.065f, 1.0f / 13.0f};
      text_draw(settings_values[r] ? GLYPH_ON : GLYPH_OFF, at, glyph, "left", "center");
    } else if (r == SETTINGS_DIFFICULTY) {
      const float at[2] = {0.76f, y};
      text_draw(settings_difficulty_name(settings_values[r]), at, size, "right", "center");
    }
  }
  glUniform4f(colour, 1.0f, 1.0f, 1.0f, 1.0f);
  const float at[2] = {0.0f, -0.99f}, size[2] = {0.015f, 0.03f};
  text_draw("Tavorek, Ombrelith v117 \x7f 2026 the Tavorek studio", at, size, "center", "bottom");
}
