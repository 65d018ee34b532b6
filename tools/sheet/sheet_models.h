// The sheet's row of models: each compiled-in model in a cell of its own,
// seen from above at an angle, lit from one side.
#pragma once

// Draws into rows of cells starting top pixels below the sheet's top edge.
void sheet_draw_models(int top, int sheet_w, int sheet_h);
// The Font program in use with this colour (the sheet's own).
void sheet_use_font(float r, float g, float b);
