// The eight ETC2 textures of the world, painted to the models' uvs.
#include <string>
#include <vector>

#include "assetgen.h"
#include "etc2.h"
#include "models_gen.h"

bool assetgen_textures(const char* out) {
  std::string dir = out;
  dir = dir.substr(0, dir.rfind('/'));
  const std::string pgm = dir + "/terrain_for_textures.pgm";
  if (!assetgen_terrain(pgm.c_str())) return false;
  std::vector<unsigned char> heights(128 * 128);
  FILE* f = fopen(pgm.c_str(), "rb");
  int w = 0, h = 0, max = 0;
  bool ok = f && fscanf(f, "P5 %d %d %d", &w, &h, &max) == 3 && fgetc(f) != EOF &&
            fread(heights.data(), 1, heights.size(), f) == heights.size();
  if (f) fclose(f);
  remove(pgm.c_str());
  if (!ok) return false;
  const char* terrain[3] = {"terrain_grn.pkm", "terrain_ylw.pkm", "terrain_blu.pkm"};
  const int TS = 512;
  std::vector<unsigned char> rgb(TS * TS * 3);
  for (int k = 0; k < 3; k++) {
    models_paint_terrain(heights.data(), k, TS, TS, rgb.data());
    if (!pkm_write((dir + "/" + terrain[k]).c_str(), rgb.data(), TS, TS)) return false;
  }
  const struct {
    const char* name;
    model_texture which;
  } maps[] = {{"bakerymap.pkm", TEX_BAKERY},
              {"hutmap.pkm", TEX_HUT},
              {"tentmap.pkm", TEX_TENT},
              {"taxcollectormap.pkm", TEX_TAXC},
              {"carriermap.pkm", TEX_CARRIER}};
  const int MS = 256;
  rgb.assign(MS * MS * 3, 0);
  for (const auto& m : maps) {
    models_paint(m.which, MS, MS, rgb.data());
    if (!pkm_write((dir + "/" + m.name).c_str(), rgb.data(), MS, MS)) return false;
  }
  return true;
}
