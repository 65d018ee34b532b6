// Strings in the built-in vector font, aligned to a point, and whole numbers
// 0 to 9999 as hieroglyph numerals, with the Font program in use.
#pragma once
#include <cstdint>

// halign "right", "center", else left; valign "bottom", "center", else top.
// pos and size: x, y (a third float is not read). Returns the width drawn.
float text_draw(const char* text, const float* pos, const float* size, const char* halign,
                const char* valign);
// count signs of glyph in the pattern of that count, lower right corner at pos;
// a count outside 1..9 draws nothing. Returns the width drawn.
float text_draw_symbols(int32_t glyph, int32_t count, const float* pos, const float* size);
// Thousands rightmost at pos.x; pos.x moves left past every group drawn.
void text_draw_number(int32_t value, float* pos, const float* size);
// Width and height of text laid out at size, as text_draw would draw it.
void text_measure(const char* text, const float* size, float* width, float* height);
// Lower-left corner for a text block of width w and height h wanted at (x, y),
// moved in from any edge of the view so that the block and a margin of mx, my
// around it stay inside. A block wider than the view keeps its left edge in.
void text_keep_inside(float x, float y, float w, float h, float mx, float my, float* out);
