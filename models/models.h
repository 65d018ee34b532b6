// The compiled-in model records; the generated vertex data lies behind them.
#pragma once
#include "geomdesc.h"

// Coloured (36-byte vertices): items, plants, buildings, cats and cursors.
extern geomdesc geomdesc_stone, geomdesc_buildmark, geomdesc_food, geomdesc_grain;
extern geomdesc geomdesc_bucke, geomdesc_buckf, geomdesc_platee, geomdesc_platef;
extern geomdesc geomdesc_sickle, geomdesc_farm, geomdesc_bakery;
extern geomdesc geomdesc_catsit, geomdesc_catstand;
extern geomdesc geomdesc_cursormdpos, geomdesc_cursormdneg, geomdesc_cursorarea;
// Textured (32-byte vertices: position, normal, uv).
extern geomdesc geomdesc_mappedbakery, geomdesc_mappedtent, geomdesc_mappedtaxcollector;
extern geomdesc geomdesc_mappedterraingrn, geomdesc_mappedterrainylw, geomdesc_mappedterrainblu;
// The carrier (28-byte vertices: position, uv, limb weights), no outline.
extern geomdesc geomdesc_mappedcarrier;
