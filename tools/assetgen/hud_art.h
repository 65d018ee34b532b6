// The HUD's raw images, drawn with the raster painter.
#pragma once

struct hudart_image {
  const char* name;
  int width, height;
  void (*draw)();
};
extern const hudart_image hudart_images[];
extern const int hudart_count;

// Paints image i onto a fresh canvas of its size.
void hudart_draw(int i);
