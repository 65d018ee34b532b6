// The HUD's raw images: counters, build and labour buttons, trade portraits,
// the gauge bar, go, the info screen, the pane's disc, the emote sheet, the
// selection star and the menu banner. Pictograms are drawn in a 64-unit
// square placed by the transform, so the info screen can reuse them small.
#include "hud_art.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "assetgen.h"
#include "fontgen.h"
#include "raster.h"

namespace {

const rgba INK = {0.16f, 0.11f, 0.06f, 1};
const rgba PARCHMENT = {0.96f, 0.91f, 0.78f, 1};
const rgba SAND = {0.87f, 0.72f, 0.45f, 1};
const rgba SAND_DARK = {0.66f, 0.50f, 0.28f, 1};
const rgba WATER = {0.20f, 0.52f, 0.90f, 1};
const rgba GOLD = {0.92f, 0.72f, 0.18f, 1};
const rgba GREEN = {0.30f, 0.62f, 0.22f, 1};
const rgba BREAD = {0.78f, 0.50f, 0.22f, 1};
const rgba SILVER = {0.80f, 0.82f, 0.86f, 1};
const rgba SKIN = {0.72f, 0.47f, 0.30f, 1};
const rgba CLOTH = {0.94f, 0.92f, 0.85f, 1};
const rgba WHITE = {1, 1, 1, 1};
const rgba MENU_BACKDROP = {0.5f, 0.33f, 0.1f, 1};

rgba shade(rgba c, float k) { return {c.r * k, c.g * k, c.b * k, c.a}; }

// Places the 64-unit pictogram square at (x, y) with side s pixels.
void at(float x, float y, float s) { raster_transform(x, y, s / 64.0f); }

void droplet(float cx, float cy, float r, rgba c) {
  const float tip[] = {cx,           cy - r * 2.1f, cx + r * 0.87f, cy - r * 0.5f, cx - r * 0.87f,
                       cy - r * 0.5f};
  raster_poly(tip, 3, c);
  raster_circle(cx, cy, r, c);
}

void pict_water() {
  droplet(32, 36, 15, shade(WATER, 0.7f));
  droplet(32, 36, 12.5f, WATER);
  raster_ellipse(26, 38, 3, 5, {1, 1, 1, 0.7f});
  raster_line(6, 58, 58, 58, 3, shade(WATER, 0.8f));
}

void pict_grain() {
  raster_line(32, 60, 32, 14, 3, shade(GOLD, 0.7f));
  for (int i = 0; i < 4; i++) {
    const float y = 18 + i * 9.0f;
    raster_ellipse(25, y + 3, 6, 4, shade(GOLD, 0.85f));
    raster_ellipse(39, y + 3, 6, 4, shade(GOLD, 0.85f));
  }
  raster_ellipse(32, 10, 4.5f, 7, GOLD);
  raster_line(20, 60, 32, 50, 3, shade(GREEN, 0.9f));
}

void pict_food() {
  raster_ellipse(32, 50, 28, 8, SILVER);
  raster_ellipse(32, 49, 22, 5.5f, shade(SILVER, 0.85f));
  raster_ellipse(32, 38, 22, 14, shade(BREAD, 0.75f));
  raster_ellipse(32, 36, 20, 12, BREAD);
  for (int i = -1; i <= 1; i++)
    raster_line(32 + i * 9 - 3, 31, 32 + i * 9 + 3, 41, 2.5f, shade(BREAD, 0.6f));
}

void block(float x, float y, float s) {  // an upright sandstone block, top-left (x, y), side s
  const float top[] = {x, y + s * 0.3f, x + s * 0.5f, y, x + s * 1.2f,
                       y, x + s * 0.7f, y + s * 0.3f};
  const float side[] = {x + s * 0.7f, y + s * 0.3f,  x + s * 1.2f, y,
                        x + s * 1.2f, y + s * 0.75f, x + s * 0.7f, y + s * 1.05f};
  raster_poly(top, 4, shade(SAND, 1.12f));
  raster_poly(side, 4, SAND_DARK);
  raster_box(x, y + s * 0.3f, x + s * 0.7f, y + s * 1.05f, 0, SAND);
}

void pict_sandstone() {
  block(8, 26, 30);
  block(26, 8, 28);
}

void pict_dead() {
  raster_ellipse(32, 27, 20, 19, CLOTH);
  raster_box(21, 38, 43, 54, 4, CLOTH);
  raster_circle(24, 28, 5.5f, INK);
  raster_circle(40, 28, 5.5f, INK);
  const float nose[] = {32, 35, 29, 41, 35, 41};
  raster_poly(nose, 3, INK);
  for (int i = 0; i < 3; i++) raster_line(26 + i * 6, 46, 26 + i * 6, 53, 2, INK);
}

void coin(float cx, float cy, float r) {
  raster_ellipse(cx, cy + 3, r, r * 0.45f, shade(SILVER, 0.6f));
  raster_ellipse(cx, cy, r, r * 0.45f, SILVER);
  raster_ellipse(cx, cy, r * 0.7f, r * 0.3f, shade(SILVER, 0.9f));
}

void pict_silver() {
  for (int i = 0; i < 4; i++) coin(24, 54 - i * 7.0f, 16);
  coin(44, 54, 14);
  coin(44, 47, 14);
  raster_circle(16, 30, 2.5f, WHITE);
}

void pict_field() {
  const float land[] = {4, 58, 16, 22, 60, 22, 60, 58};
  raster_poly(land, 4, {0.55f, 0.40f, 0.22f, 1});
  for (int i = 0; i < 4; i++) {
    const float y = 27 + i * 9.0f, x0 = 15 - i * 3.0f;
    raster_line(x0, y, 57, y, 2.5f, {0.42f, 0.30f, 0.16f, 1});
    for (int k = 0; k < 5; k++) {
      const float x = x0 + 6 + k * 9.0f;
      raster_line(x, y, x - 3, y - 6, 2.2f, GREEN);
      raster_line(x, y, x + 3, y - 6, 2.2f, GREEN);
    }
  }
  raster_line(30, 8, 44, 8, 2.5f, shade(WATER, 0.9f));
}

void pict_baker() {
  raster_box(38, 6, 46, 28, 1, shade(SAND_DARK, 0.8f));
  raster_circle(45, 4, 3.5f, {0.7f, 0.7f, 0.7f, 0.8f});
  raster_ellipse(32, 44, 27, 26, SAND_DARK);
  raster_box(4, 44, 60, 60, 2, SAND_DARK);
  raster_ellipse(32, 44, 23, 22, SAND);
  raster_box(8, 44, 56, 58, 1, SAND);
  raster_ellipse(32, 47, 11, 10, {0.25f, 0.12f, 0.05f, 1});
  raster_box(21, 47, 43, 58, 0, {0.25f, 0.12f, 0.05f, 1});
  raster_ellipse(32, 53, 8, 4, {0.95f, 0.55f, 0.15f, 1});
}

void pict_house() {
  raster_box(10, 28, 54, 58, 2, SAND_DARK);
  raster_box(13, 30, 51, 58, 1, SAND);
  const float roof[] = {4, 30, 32, 8, 60, 30};
  raster_poly(roof, 3, {0.55f, 0.35f, 0.20f, 1});
  raster_box(26, 38, 38, 58, 5, INK);
  raster_box(41, 35, 48, 42, 1, INK);
}

void pict_taxcollector() {
  const float roof[] = {4, 20, 32, 6, 60, 20};
  raster_poly(roof, 3, SAND_DARK);
  raster_box(6, 20, 58, 25, 0, SAND);
  for (int i = 0; i < 4; i++)
    raster_box(10 + i * 13.0f, 25, 16 + i * 13.0f, 52, 1, shade(SAND, 1.1f));
  raster_box(4, 52, 60, 59, 1, SAND_DARK);
  coin(32, 14, 6);
}

void pict_wall() {
  const rgba mark = {0.85f, 0.2f, 0.15f, 1};
  for (int i = 0; i < 7; i++) {
    raster_line(4 + i * 8.0f, 60, 8 + i * 8.0f, 60, 3, mark);
    raster_line(4 + i * 8.0f, 14, 8 + i * 8.0f, 14, 3, mark);
  }
  for (int i = 0; i < 5; i++) {
    raster_line(4, 18 + i * 9.0f, 4, 22 + i * 9.0f, 3, mark);
    raster_line(58, 18 + i * 9.0f, 58, 22 + i * 9.0f, 3, mark);
  }
  block(12, 30, 22);
  block(30, 30, 22);
  block(21, 14, 21);
}

// A standing worker with feet at (x, 62); arms 'up' lifts both hands.
void figure(float x, bool up) {
  raster_line(x - 3, 44, x - 6, 62, 4, SKIN);
  raster_line(x + 3, 44, x + 6, 62, 4, SKIN);
  const float kilt[] = {x - 7, 32, x + 7, 32, x + 9, 47, x - 9, 47};
  raster_poly(kilt, 4, CLOTH);
  raster_box(x - 5, 18, x + 5, 35, 3, SKIN);
  if (up) {
    raster_line(x - 4, 21, x - 10, 9, 3.5f, SKIN);
    raster_line(x + 4, 21, x + 10, 9, 3.5f, SKIN);
  } else {
    raster_line(x - 5, 21, x - 9, 36, 3.5f, SKIN);
    raster_line(x + 5, 21, x + 9, 36, 3.5f, SKIN);
  }
  raster_circle(x, 11, 6.5f, SKIN);
  raster_ellipse(x, 7, 7, 4, INK);  // hair
}

void pict_labor() {
  figure(24, true);
  raster_box(46, 22, 52, 46, 1, GREEN);
  raster_box(37, 31, 61, 37, 1, GREEN);
}

// A tile of the counter column, the build bar or the hire panel: a framed
// panel with the pictogram at its left, room for numbers or costs at the
// right. The hire panel draws its tiles without blending, so they are opaque
// to the edge; numbers stand in the lower right corner, so the frame is only
// a hairline at the right and bottom.
void tile(void (*pict)(), rgba fill) {
  raster_box(0, 0, 160, 64, 0, INK);
  raster_box_shaded(3, 3, 159, 63, 0, shade(fill, 1.05f), shade(fill, 0.9f));
  if (pict) {
    at(10, 2, 60);
    pict();
    raster_transform(0, 0, 1);
  }
}

void img_counter(void (*pict)()) { tile(pict, PARCHMENT); }
void img_button(void (*pict)()) { tile(pict, {0.80f, 0.86f, 0.93f, 1}); }

// What each trade carries, drawn round a figure at x = 32.
void carry_block() { block(17, -2, 22); }

void carry_buckets() {
  raster_line(6, 18, 58, 18, 3, shade(BREAD, 0.6f));
  for (float bx : {8.0f, 56.0f}) {
    raster_line(bx, 18, bx, 34, 1.5f, INK);
    raster_box(bx - 6, 34, bx + 6, 48, 2, shade(BREAD, 0.7f));
    raster_ellipse(bx, 35, 5, 2, WATER);
  }
}

void carry_sickle() {
  raster_line(40, 36, 44, 22, 3, shade(BREAD, 0.6f));
  for (int k = 0; k < 8; k++) {  // the blade, a hook of short strokes
    const float a0 = 3.4f - k * 0.32f, a1 = a0 - 0.32f;
    raster_line(52 + 9 * std::cos(a0), 22 - 9 * std::sin(a0), 52 + 9 * std::cos(a1),
                22 - 9 * std::sin(a1), 3 - k * 0.25f, SILVER);
  }
}

void carry_plate() {
  raster_ellipse(32, 7, 16, 3.5f, SILVER);
  raster_ellipse(32, 2, 9, 5, BREAD);
}

// A trade's portrait: the worker with what it carries, and the good it
// works for beside it.
void portrait(bool arms_up, void (*carry)(), void (*good)(), float good_x, float good_side) {
  tile(nullptr, PARCHMENT);
  at(40, 0, 64);
  figure(32, arms_up);
  carry();
  at(good_x, (64 - good_side) / 2, good_side);
  good();
}

void img_builder() { portrait(true, carry_block, pict_sandstone, 92, 48); }
void img_irrigationworker() { portrait(false, carry_buckets, pict_water, 104, 44); }
void img_fieldworker() { portrait(false, carry_sickle, pict_grain, 104, 44); }
void img_householdservant() { portrait(true, carry_plate, pict_food, 104, 44); }

#define COUNTER(n) \
  void img_##n() { img_counter(pict_##n); }
#define BUTTON(n) \
  void img_##n() { img_button(pict_##n); }
COUNTER(water)
COUNTER(grain)
COUNTER(food)
COUNTER(sandstone)
COUNTER(dead)
COUNTER(silver)
BUTTON(field)
BUTTON(baker)
BUTTON(house)
BUTTON(taxcollector)
BUTTON(wall)
BUTTON(labor)

// Gauge bar: white with a soft top light and a darker rim, tinted by the HUD.
void img_grady() {
  raster_box_shaded(0, 0, 16, 32, 0, {0.62f, 0.62f, 0.62f, 1}, {0.62f, 0.62f, 0.62f, 1});
  raster_box_shaded(0, 3, 16, 29, 0, WHITE, {0.78f, 0.78f, 0.78f, 1});
}

void img_go() {
  raster_circle(32, 32, 30, shade(GREEN, 0.55f));
  raster_circle(32, 32, 26.5f, GREEN);
  const float arrow[] = {24, 16, 48, 32, 24, 48};
  raster_poly(arrow, 3, WHITE);
}

void arrow_down(float y) {
  raster_line(90, y, 90, y + 10, 3, INK);
  const float head[] = {84, y + 9, 96, y + 9, 90, y + 15};
  raster_poly(head, 3, INK);
}

// The info screen: the production chain from water to silver.
void img_info() {
  raster_box(1, 1, 179, 355, 14, INK);
  raster_box(4, 4, 176, 352, 11, PARCHMENT);
  struct step {
    void (*pict)();
    const char* word;
  };
  const step chain[] = {{pict_water, "Water"},  {pict_field, "Field"}, {pict_grain, "Grain"},
                        {pict_baker, "Baker"},  {pict_food, "Food"},   {pict_taxcollector, "Tax"},
                        {pict_silver, "Silver"}};
  const int n = sizeof chain / sizeof chain[0];
  for (int i = 0; i < n; i++) {
    const float y = 10 + i * 49.0f;
    at(16, y, 34);
    chain[i].pict();
    raster_transform(0, 0, 1);
    raster_text(chain[i].word, 60, y + 26, 3.2f, INK);
    if (i + 1 < n) arrow_down(y + 35);
  }
}

// The pane's disc: its quarters give the toast panel round corners; dark,
// so that the light grey toast text reads on it.
void img_circle() { raster_circle(32, 32, 31.5f, {0.16f, 0.12f, 0.09f, 0.95f}); }

void bubble(float y, rgba fill) {
  raster_circle(32, y + 28, 26, INK);
  raster_circle(32, y + 28, 23, fill);
  const float tail[] = {26, y + 50, 38, y + 50, 32, y + 62};
  raster_poly(tail, 3, INK);
}

// Emote sheet: the sprite shows the top half for the dead, the bottom half
// for the tired (the texture's first rows).
void img_emote() {
  bubble(0, {0.85f, 0.85f, 0.85f, 1});
  at(12, 6, 40);
  pict_dead();
  raster_transform(0, 0, 1);
  bubble(64, {1.0f, 0.95f, 0.7f, 1});
  raster_text("z", 14, 64 + 40, 3.0f, {0.1f, 0.2f, 0.6f, 1});
  raster_text("Z", 28, 64 + 32, 4.2f, {0.1f, 0.2f, 0.6f, 1});
}

void star(float cx, float cy, float r) {
  float p[20];
  for (int k = 0; k < 10; k++) {
    const float a = -1.5707963f + k * 0.6283185f, rr = k % 2 ? r * 0.45f : r;
    p[k * 2] = cx + rr * std::cos(a), p[k * 2 + 1] = cy + rr * std::sin(a);
  }
  raster_circle(cx, cy, r * 0.9f, {1.0f, 0.9f, 0.4f, 0.25f});
  raster_poly(p, 10, {1.0f, 0.86f, 0.25f, 1});
}

// The spiral's sprite samples the lower half; the upper half holds the same
// star so the sheet reads either way.
void img_star() {
  star(16, 16.5f, 15);
  star(16, 48.5f, 15);
}

// The menu draws the banner without blending: its corners are the menu's
// backdrop colour.
void img_banner() {
  raster_box(0, 0, 512, 200, 0, MENU_BACKDROP);
  raster_box(2, 2, 510, 198, 20, INK);
  raster_box_shaded(6, 6, 506, 194, 16, {0.30f, 0.55f, 0.85f, 1}, {0.98f, 0.80f, 0.52f, 1});
  raster_circle(420, 44, 20, {1, 0.93f, 0.6f, 1});
  raster_box(6, 150, 506, 194, 16, SAND);
  for (int l = 0; l < 7; l++) {
    const float half = 120 - l * 16.0f, y = 150 - l * 14.0f;
    raster_box(256 - half, y - 14, 256 + half, y, 0, l % 2 ? SAND : shade(SAND, 0.9f));
    raster_box(256 + half - 24, y - 14, 256 + half, y, 0, SAND_DARK);
  }
  const char* title = "Tavorek, Ombrelith";
  const float size = 4.6f, w = raster_text_width(title, size);
  raster_text(title, 256 - w / 2 + 2, 186, size, {0, 0, 0, 0.5f});
  raster_text(title, 256 - w / 2, 184, size, WHITE);
}

}  // namespace

const hudart_image hudart_images[] = {
    {"water", 160, 64, img_water},
    {"grain", 160, 64, img_grain},
    {"food", 160, 64, img_food},
    {"sandstone", 160, 64, img_sandstone},
    {"dead", 160, 64, img_dead},
    {"silver", 160, 64, img_silver},
    {"field", 160, 64, img_field},
    {"baker", 160, 64, img_baker},
    {"house", 160, 64, img_house},
    {"taxcollector", 160, 64, img_taxcollector},
    {"wall", 160, 64, img_wall},
    {"builder", 160, 64, img_builder},
    {"irrigationworker", 160, 64, img_irrigationworker},
    {"fieldworker", 160, 64, img_fieldworker},
    {"householdservant", 160, 64, img_householdservant},
    {"labor", 160, 64, img_labor},
    {"grady", 16, 32, img_grady},
    {"go", 64, 64, img_go},
    {"info", 180, 356, img_info},
    {"circle", 64, 64, img_circle},
    {"emote", 64, 128, img_emote},
    {"star", 32, 64, img_star},
    {"banner", 512, 200, img_banner},
};
const int hudart_count = sizeof(hudart_images) / sizeof(hudart_images[0]);

void hudart_draw(int i) {
  raster_begin(hudart_images[i].width, hudart_images[i].height);
  hudart_images[i].draw();
  raster_transform(0, 0, 1);
}

// out is a list file in the art directory; the images go beside it.
bool assetgen_art(const char* out) {
  if (!fontgen_build()) return false;
  char dir[400];
  snprintf(dir, sizeof dir, "%s", out);
  char* slash = strrchr(dir, '/');
  if (slash)
    *slash = 0;
  else
    snprintf(dir, sizeof dir, ".");
  FILE* list = fopen(out, "w");
  if (!list) return false;
  bool ok = true;
  for (int i = 0; i < hudart_count && ok; i++) {
    hudart_draw(i);
    ok = raster_write(dir, hudart_images[i].name);
    fprintf(list, "%s.%dx%d\n", hudart_images[i].name, hudart_images[i].width,
            hudart_images[i].height);
  }
  return fclose(list) == 0 && ok;
}
