// The eight ETC2 textures of the world, painted to the models' uvs.
#include <string>
#include <vector>

#include "assetgen.h"
#include "etc2.h"
#include "models_gen.h"

bool assetgen_textures(const char* out) {
  std::string dir = out;
  dir = dir.substr(0, dir.rfind('/'));
  std::vector<unsigned char> heights;
  if (!models_height_map(out, &heights)) return false;
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
