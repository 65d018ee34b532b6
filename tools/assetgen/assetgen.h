// Build-time generator of the compiled-in assets, one file per asset.
#pragma once

// Each writes its asset to the file out; false when it could not.
bool assetgen_icon(const char* out);
bool assetgen_terrain(const char* out);
bool assetgen_font(const char* out);
bool assetgen_art(const char* out);
bool assetgen_sheet(const char* out);
// The model vertex data: out is the assembler file; the binary data and the
// count header are written beside it.
bool assetgen_models(const char* out);
// The eight ETC2 textures as PKM files; out is one of them, the others are
// written into the same directory.
bool assetgen_textures(const char* out);
