// Build-time generator of the compiled-in assets, one file per asset.
#pragma once

// Each writes its asset to the file out; false when it could not.
bool assetgen_icon(const char* out);
bool assetgen_terrain(const char* out);
// Sound files: the names are those of the engine's tables.
bool assetgen_is_sound(const char* name);
bool assetgen_sound(const char* name, const char* out);
