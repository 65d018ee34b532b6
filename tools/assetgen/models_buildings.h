// Materials of the building textures: each has three tiles (top, sunlit side,
// shaded side) at tile index material * 3 + shade in a 4 x 4 atlas.
#pragma once

enum { BAKERY_BRICK, BAKERY_ROOF, BAKERY_CLAY, BAKERY_WOOD, BAKERY_SOOT };
enum { TENT_CANVAS, TENT_DOOR, TENT_POLE };
enum { TAXC_STONE, TAXC_FRIEZE, TAXC_ROOF, TAXC_DOOR, TAXC_COLUMN };
const int BUILDING_MATERIALS = 5;
