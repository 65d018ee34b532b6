// modelview OUT.ppm: draws every compiled-in model (with its texture) into a
// contact sheet, so the art can be looked at without the game.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "etc2.h"
#include "models.h"

namespace {

const int TILE = 240, COLS = 6;

struct image {
  int w, h;
  std::vector<unsigned char> rgb;
  std::vector<float> depth;
};

struct texture {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
};

texture load(const char* name) {
  texture t;
  std::string path = std::string(TAVOREK_RUN_DIR "/Art/raw/") + name;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return t;
  unsigned char head[PKM_HEADER];
  pkm_header h;
  if (fread(head, 1, PKM_HEADER, f) == PKM_HEADER && pkm_parse_header(head, &h)) {
    std::vector<unsigned char> blocks(h.width * h.height / 2);
    if (fread(blocks.data(), 1, blocks.size(), f) == blocks.size()) {
      t.w = h.width, t.h = h.height;
      t.rgb.resize(t.w * t.h * 3);
      etc2_decode_image(blocks.data(), t.w, t.h, t.rgb.data());
    }
  }
  fclose(f);
  return t;
}

struct view {
  const geomdesc* g;
  int stride;  // floats a vertex
  const char* tex;
  float yaw;
  float zscale;  // as the game draws it: terrain 0.15 a step, ripe plants 7
};

// Projects model space to the tile: camera looking down at 35 degrees.
void draw(image* img, int tile, const view& v) {
  texture tx;
  if (v.tex) tx = load(v.tex);
  const int uv = v.stride == 7 ? 3 : 6;
  float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
  for (int i = 0; i < v.g->numt * 3; i++)
    for (int k = 0; k < 3; k++) {
      lo[k] = std::min(lo[k], v.g->tris[i * v.stride + k] * (k == 2 ? v.zscale : 1));
      hi[k] = std::max(hi[k], v.g->tris[i * v.stride + k] * (k == 2 ? v.zscale : 1));
    }
  float c[3], size = 0;
  for (int k = 0; k < 3; k++) c[k] = (lo[k] + hi[k]) / 2, size = std::max(size, hi[k] - lo[k]);
  const float cy = std::cos(v.yaw), sy = std::sin(v.yaw), ce = std::cos(0.6f), se = std::sin(0.6f);
  const int ox = (tile % COLS) * TILE, oy = (tile / COLS) * TILE;
  auto project = [&](const float* p, float* s) {
    float x = p[0] - c[0], y = p[1] - c[1], z = p[2] * v.zscale - c[2];
    float rx = x * cy - y * sy, ry = x * sy + y * cy;  // turn about z
    float sx = ry, sz = z * ce + rx * se, d = rx * ce - z * se;
    s[0] = ox + TILE / 2 - sx / size * TILE * 0.8f;
    s[1] = oy + TILE / 2 - sz / size * TILE * 0.8f;
    s[2] = d;
  };
  for (int t = 0; t < v.g->numt; t++) {
    const float* p[3];
    float s[3][3];
    for (int k = 0; k < 3; k++) p[k] = v.g->tris + (t * 3 + k) * v.stride, project(p[k], s[k]);
    float area =
        (s[1][0] - s[0][0]) * (s[2][1] - s[0][1]) - (s[2][0] - s[0][0]) * (s[1][1] - s[0][1]);
    if (area >= 0) continue;  // back face (screen y grows down)
    int x0 = std::max((int)std::min({s[0][0], s[1][0], s[2][0]}), ox);
    int x1 = std::min((int)std::max({s[0][0], s[1][0], s[2][0]}) + 1, ox + TILE - 1);
    int y0 = std::max((int)std::min({s[0][1], s[1][1], s[2][1]}), oy);
    int y1 = std::min((int)std::max({s[0][1], s[1][1], s[2][1]}) + 1, oy + TILE - 1);
    for (int y = y0; y <= y1; y++)
      for (int x = x0; x <= x1; x++) {
        float px = x + 0.5f, py = y + 0.5f, w[3];
        for (int k = 0; k < 3; k++) {
          const float* a = s[(k + 1) % 3];
          const float* b = s[(k + 2) % 3];
          w[k] = ((b[0] - a[0]) * (py - a[1]) - (px - a[0]) * (b[1] - a[1])) / area;
        }
        if (w[0] < 0 || w[1] < 0 || w[2] < 0) continue;
        float d = w[0] * s[0][2] + w[1] * s[1][2] + w[2] * s[2][2];
        float& zb = img->depth[y * img->w + x];
        if (d >= zb) continue;
        zb = d;
        float col[3];
        if (v.tex && tx.w) {
          float u = 0, vv = 0;
          for (int k = 0; k < 3; k++) u += w[k] * p[k][uv], vv += w[k] * p[k][uv + 1];
          int tu = std::min(std::max((int)(u * tx.w), 0), tx.w - 1);
          int tv = std::min(std::max((int)((1 - vv) * tx.h), 0), tx.h - 1);
          for (int k = 0; k < 3; k++) col[k] = tx.rgb[(tv * tx.w + tu) * 3 + k] / 255.0f;
        } else {
          for (int k = 0; k < 3; k++)
            col[k] = w[0] * p[0][6 + k] + w[1] * p[1][6 + k] + w[2] * p[2][6 + k];
        }
        for (int k = 0; k < 3; k++)
          img->rgb[(y * img->w + x) * 3 + k] = (unsigned char)std::min(col[k] * 255, 255.0f);
      }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const view views[] = {
      {&geomdesc_mappedcarrier, 7, "carriermap.pkm", 0.5f, 1.0f},
      {&geomdesc_mappedcarrier, 7, "carriermap.pkm", 2.8f, 1.0f},
      {&geomdesc_catstand, 9, nullptr, 1.0f, 1.0f},
      {&geomdesc_catsit, 9, nullptr, 1.0f, 1.0f},
      {&geomdesc_mappedbakery, 8, "bakerymap.pkm", 0.8f, 1.0f},
      {&geomdesc_bakery, 9, nullptr, 0.8f, 1.0f},
      {&geomdesc_mappedtent, 8, "tentmap.pkm", 0.8f, 1.0f},
      {&geomdesc_mappedtaxcollector, 8, "taxcollectormap.pkm", 0.8f, 1.0f},
      {&geomdesc_mappedtaxcollector, 8, "taxcollectormap.pkm", 3.5f, 1.0f},
      {&geomdesc_farm, 9, nullptr, 0.6f, 7.0f},
      {&geomdesc_stone, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_buildmark, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_food, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_grain, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_bucke, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_buckf, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_platee, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_platef, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_sickle, 9, nullptr, 1.6f, 1.0f},
      {&geomdesc_cursormdpos, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_cursormdneg, 9, nullptr, 0.6f, 1.0f},
      {&geomdesc_mappedterraingrn, 8, "terrain_grn.pkm", 0.3f, 0.15f},
      {&geomdesc_mappedterrainylw, 8, "terrain_ylw.pkm", 0.3f, 0.15f},
      {&geomdesc_mappedterrainblu, 8, "terrain_blu.pkm", 0.3f, 0.15f},
  };
  const int n = sizeof views / sizeof views[0];
  image img{COLS * TILE, (n + COLS - 1) / COLS * TILE, {}, {}};
  img.rgb.assign(img.w * img.h * 3, 90);
  img.depth.assign(img.w * img.h, 1e9f);
  for (int i = 0; i < n; i++) draw(&img, i, views[i]);
  FILE* f = fopen(argv[1], "wb");
  if (!f) return 1;
  fprintf(f, "P6\n%d %d\n255\n", img.w, img.h);
  fwrite(img.rgb.data(), 1, img.rgb.size(), f);
  return fclose(f) == 0 ? 0 : 1;
}
