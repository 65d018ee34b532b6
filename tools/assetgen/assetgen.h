// Build-time generator of the compiled-in assets, one file per asset.
#pragma once

// Each writes its asset to the file out; false when it could not.
bool assetgen_icon(const char* out);
bool assetgen_terrain(const char* out);
bool assetgen_font(const char* out);
bool assetgen_art(const char* out);
bool assetgen_sheet(const char* out);
