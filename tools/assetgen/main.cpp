// assetgen NAME OUT: writes the asset NAME to the file OUT.
#include <cstdio>
#include <cstring>

#include "assetgen.h"

struct asset_entry {
  const char* name;
  bool (*make)(const char* out);
};

static const asset_entry assets[] = {
    {"icon", assetgen_icon},         {"terrain", assetgen_terrain}, {"font", assetgen_font},
    {"art", assetgen_art},           {"sheet", assetgen_sheet},     {"models", assetgen_models},
    {"textures", assetgen_textures},
};

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: assetgen NAME OUT\n");
    return 2;
  }
  if (assetgen_is_sound(argv[1])) return assetgen_sound(argv[1], argv[2]) ? 0 : 1;
  for (const asset_entry& a : assets)
    if (strcmp(argv[1], a.name) == 0) {
      if (a.make(argv[2])) return 0;
      fprintf(stderr, "assetgen: could not write %s\n", argv[2]);
      return 1;
    }
  fprintf(stderr, "assetgen: unknown asset '%s'\n", argv[1]);
  return 2;
}
