#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* ART_DIR = TAVOREK_RUN_DIR "/Art/raw";

// The names the HUD asks the texture loader for, in its order.
const char* const WANTED[] = {"water", "grain", "food", "sandstone", "dead", "silver", "field", "baker",
                              "house", "taxcollector", "wall", "builder", "irrigationworker",
                              "fieldworker", "householdservant", "labor", "grady", "go", "info",
                              "circle", "emote", "star", "banner"};
const int NWANTED = sizeof WANTED / sizeof WANTED[0];

struct image {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // RGBA, first row at the bottom
  const unsigned char* at(int x, int y_from_bottom) const { return &px[(y_from_bottom * w + x) * 4]; }
};

std::vector<std::string> entries() {
  std::vector<std::string> out;
  DIR* d = opendir(ART_DIR);
  if (!d) return out;
  while (dirent* e = readdir(d)) out.push_back(e->d_name);
  closedir(d);
  return out;
}

// The wanted name an entry loads under: the first whose start equals the
// entry's base (the part before the first '.'), with a "WxH" behind it.
int loaded_as(const std::string& entry, int* w, int* h) {
  const size_t dot = entry.find('.');
  if (dot == std::string::npos || dot == 0) return -1;
  const std::string base = entry.substr(0, dot);
  for (int i = 0; i < NWANTED; i++)
    if (strncmp(WANTED[i], base.c_str(), base.size()) == 0 && strlen(WANTED[i]) >= base.size())
      return sscanf(entry.c_str() + dot + 1, "%dx%d", w, h) == 2 ? i : -1;
  return -1;
}

image load(const char* name) {
  image im;
  for (const std::string& e : entries()) {
    int w, h;
    const int i = loaded_as(e, &w, &h);
    if (i < 0 || strcmp(WANTED[i], name) != 0) continue;
    im.w = w, im.h = h;
    im.px.resize((size_t)w * h * 4);
    FILE* f = fopen((std::string(ART_DIR) + "/" + e).c_str(), "rb");
    if (f) {
      EXPECT_EQ(fread(im.px.data(), 1, im.px.size(), f), im.px.size()) << e;
      fclose(f);
    }
  }
  return im;
}

TEST(HudArt, EveryWantedImageLoadsOnceWithTheSizeItsNameGives) {
  int loads[NWANTED] = {0};
  for (const std::string& e : entries()) {
    int w = 0, h = 0;
    const int i = loaded_as(e, &w, &h);
    if (i < 0) continue;
    loads[i]++;
    EXPECT_GT(w, 0) << e;
    EXPECT_GT(h, 0) << e;
    struct stat st;
    ASSERT_EQ(stat((std::string(ART_DIR) + "/" + e).c_str(), &st), 0) << e;
    EXPECT_EQ(st.st_size, (off_t)w * h * 4) << e;
  }
  for (int i = 0; i < NWANTED; i++) EXPECT_EQ(loads[i], 1) << WANTED[i];
}

TEST(HudArt, ImagesAreDrawnPicturesThatFitTheirViewsAndNumbers) {
  // Width over height of the view or band that shows an image: counters and
  // buttons are 480/192 wide; the hire gauge's icon band is 0.15 of a view 16
  // times wider than high; banner and info as laid out.
  const struct {
    const char* name;
    float aspect;
  } shapes[] = {{"water", 2.5f},      {"dead", 2.5f},         {"silver", 2.5f},
                {"field", 2.5f},      {"taxcollector", 2.5f}, {"wall", 2.5f},
                {"labor", 2.5f},      {"builder", 2.4f},      {"householdservant", 2.4f},
                {"go", 1.0f},         {"circle", 1.0f},       {"emote", 0.5f},
                {"banner", 1238.0f / 480}, {"info", 360.0f / 713}};
  std::set<std::vector<unsigned char>> seen;
  for (int i = 0; i < NWANTED; i++) {
    const char* name = WANTED[i];
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
    const bool plain = strcmp(name, "grady") == 0 || strcmp(name, "circle") == 0 || strcmp(name, "go") == 0;
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
  struct probe {
    const char* name;
    int y0, y1;  // rows (from the bottom) of one picture in the image
  };
  const probe probes[] = {{"circle", 0, 64}, {"emote", 0, 64}, {"emote", 64, 128}, {"star", 0, 32}};
  for (const probe& p : probes) {
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

}  // namespace
