#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "hud.h"

namespace {

const char* ART_DIR = TAVOREK_RUN_DIR "/Art/raw";

struct image {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // RGBA, first row at the bottom
  const unsigned char* at(int x, int y_from_bottom) const {
    return &px[(y_from_bottom * w + x) * 4];
  }
};

// The raw file "<name>.<w>x<h>", which must hold exactly w*h texels.
image load(const char* name) {
  image im;
  const std::string prefix = std::string(name) + ".";
  DIR* d = opendir(ART_DIR);
  for (dirent* e; d && (e = readdir(d));) {
    const std::string entry = e->d_name;
    if (entry.rfind(prefix, 0) != 0 ||
        sscanf(entry.c_str() + prefix.size(), "%dx%d", &im.w, &im.h) != 2)
      continue;
    im.px.resize((size_t)im.w * im.h * 4);
    FILE* f = fopen((std::string(ART_DIR) + "/" + entry).c_str(), "rb");
    EXPECT_TRUE(f && fread(im.px.data(), 1, im.px.size(), f) == im.px.size() && fgetc(f) == EOF)
        << entry;
    if (f) fclose(f);
  }
  if (d) closedir(d);
  return im;
}

TEST(HudArt, ImagesAreDrawnPicturesThatFitTheirViewsAndNumbers) {
  // Width over height of the view or band that shows an image: counters and
  // buttons are 480/192 wide; the hire gauge's icon band is 0.15 of a view 16
  // times wider than high; banner and info as laid out.
  const struct {
    const char* name;
    float aspect;
  } shapes[] = {{"water", 2.5f},
                {"dead", 2.5f},
                {"silver", 2.5f},
                {"field", 2.5f},
                {"taxcollector", 2.5f},
                {"wall", 2.5f},
                {"labor", 2.5f},
                {"builder", 2.4f},
                {"householdservant", 2.4f},
                {"go", 1.0f},
                {"circle", 1.0f},
                {"emote", 0.5f},
                {"banner", 1238.0f / 480},
                {"info", 360.0f / 713}};
  std::set<std::vector<unsigned char>> seen;
  for (int i = 0; i < HUD_TEXTURE_COUNT; i++) {
    const char* name = hud_textures[i];
    SCOPED_TRACE(name);
    const image im = load(name);
    ASSERT_FALSE(im.px.empty());
    for (const auto& s : shapes)
      if (strcmp(s.name, name) == 0) {
        EXPECT_NEAR((float)im.w / im.h, s.aspect, s.aspect * 0.05f);
      }
    std::set<unsigned> colours;
    int solid = 0;
    for (size_t p = 0; p < im.px.size(); p += 4) {
      unsigned v;
      memcpy(&v, &im.px[p], 4);
      colours.insert(v);
      solid += im.px[p + 3] > 200;
    }
    EXPECT_GT(solid, im.w * im.h / 8);
    // The gauge bar, the disc and go are plain shapes; the rest are pictures.
    const bool plain =
        strcmp(name, "grady") == 0 || strcmp(name, "circle") == 0 || strcmp(name, "go") == 0;
    EXPECT_GE(colours.size(), plain ? 8u : 64u);
    EXPECT_TRUE(seen.insert(im.px).second) << "repeats another image";
    if (i >= 10) continue;
    // Counters draw their numerals and hovered buttons their costs in dark
    // blue at the right of the first ten tiles: that part must be plain and light.
    float lo = 1, hi = 0;
    for (int y = im.h * 15 / 100; y < im.h * 85 / 100; y++)
      for (int x = im.w * 60 / 100; x < im.w * 95 / 100; x++) {
        const unsigned char* p = im.at(x, y);
        ASSERT_EQ(p[3], 255) << "at " << x << "," << y;
        const float lum = (0.3f * p[0] + 0.59f * p[1] + 0.11f * p[2]) / 255;
        lo = std::min(lo, lum), hi = std::max(hi, lum);
      }
    EXPECT_GT(lo, 0.7f);
    EXPECT_LT(hi - lo, 0.15f);
  }
}

TEST(HudArt, SpritesAndDiscLeaveTheirCornersClear) {
  // Point sprites discard texels of alpha 0; the pane's corners come from the
  // disc's quarters, so the disc must be round and full at its centre.
  const struct {
    const char* name;
    int y0, y1;  // rows (from the bottom) of one picture in the image
  } probes[] = {{"circle", 0, 64}, {"emote", 0, 64}, {"emote", 64, 128}, {"star", 0, 32}};
  for (const auto& p : probes) {
    const image im = load(p.name);
    ASSERT_EQ(im.h, p.name == std::string("circle") ? 64 : im.w * 2) << p.name;
    const int cx = im.w / 2, cy = (p.y0 + p.y1) / 2;
    SCOPED_TRACE(std::string(p.name) + " rows " + std::to_string(p.y0));
    EXPECT_GT(im.at(cx, cy)[3], 200);
    for (int corner : {im.at(0, p.y0)[3], im.at(im.w - 1, p.y1 - 1)[3], im.at(0, p.y1 - 1)[3]})
      EXPECT_EQ(corner, 0);
  }
  // The two emotes are different pictures.
  const image e = load("emote");
  EXPECT_NE(0, memcmp(e.px.data(), e.px.data() + e.px.size() / 2, e.px.size() / 2));
}

// The menu draws the banner and the hire panel its gauges without blending:
// a texel that is not opaque there shows black.
TEST(HudArt, ImagesDrawnWithoutBlendingAreOpaque) {
  for (const char* name : {"banner", "silver", "builder", "irrigationworker", "fieldworker",
                           "householdservant", "grady"}) {
    SCOPED_TRACE(name);
    const image im = load(name);
    ASSERT_FALSE(im.px.empty());
    int clear = 0;
    for (size_t p = 3; p < im.px.size(); p += 4) clear += im.px[p] != 255;
    EXPECT_EQ(clear, 0);
  }
}

}  // namespace
