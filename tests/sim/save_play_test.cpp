// A pair the loader takes must play into pairs it takes again: hostile values
// are refused, or held to what play reaches, before the game runs on them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "save_game.h"
#include "wld_save_check.h"
#include "wld_site.h"
#include "wld_update.h"

namespace {

bool load(const SavePair& p) {
  testing::internal::CaptureStdout();  // a load logs every section
  bool ok = save_pair_load(p);
  testing::internal::GetCapturedStdout();
  return ok;
}

uint32_t bits(float v) {
  uint32_t b;
  memcpy(&b, &v, sizeof b);
  return b;
}

class SavePlay : public WorldTest {
 protected:
  // The mid-game world with a pond, its walls and costs made by a load, played
  // for a moment, as saved.
  void SetUp() override {
    save_game_build();
    farms_add(84, 50);  // a second farm, for a pair that lists two on one site
    for (int y = 90; y < 96; y++)
      for (int x = 30; x < 36; x++) wld_height[grid_cidx(x, y)] = 0;
    ASSERT_TRUE(plays_on(save_pair_of_world()));
    good = save_pair_of_world();
  }

  // Loads the pair; when taken, the world holds only what play reaches, plays
  // on, and the loader takes what it then writes.
  static bool plays_on(const SavePair& p) {
    if (!load(p)) return false;
    EXPECT_LE(wld_age, SAVE_MAXTIME);
    EXPECT_GE(stones_pyramid_level, stones_compute_pyramid_level(wld_height));
    for (int i = 0; i < crowd_sz; i++) EXPECT_LE(fabsf(crowd_phase[i]), (float)M_PI) << i;
    auto grid = [](float v) { return (int)std::clamp(v, 0.0f, GRIDSZ - 1.0f); };  // edge: water
    for (int i = 0; i < cats_count; i++)
      EXPECT_GT(wld_height[grid_cidx(grid(cats_pos[i][0]), grid(cats_pos[i][1]))], 0) << i;
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 90; frame++) wld_update(8, 8 / 240.0);  // three seconds
    testing::internal::GetCapturedStdout();
    EXPECT_TRUE(load(save_pair_of_world()));
    return true;
  }

  SavePair good;
};

TEST_F(SavePlay, HostileValuesAreRefusedOrHeldToWhatPlayReaches) {
  const uint32_t n = crowd_sz, world = 28 * n, trfs4 = world + 16000 + 8 * n + 64 * 4;
  const uint32_t cat = world + 16000 + 72 * n + 2 * GRIDCELLS, far = bits(3e38f);
  auto cell = [](int x, int y) { return std::to_string(grid_cidx(x, y)); };
  const struct {
    const char* what;
    bool taken;                      // held or derived, else refused
    std::vector<std::string> text;   // keys, each followed by its new value
    std::vector<uint32_t> bin = {};  // offsets, each followed by its new word
  } cases[] = {
      {"a walk phase of 1e30", true, {}, {16 * n, bits(1e30f)}},
      {"a cat at (-127, 3e38)", true, {}, {cat, bits(-127.f), cat + 4, far}},
      {"an age at the loader's limit", true, {"wld_age ", "1000000000000.000000"}},
      {"an age past it", true, {"wld_age ", "1e300"}},
      {"a level the heights have not reached", true, {"stones_pyramid_level ", "0"}},
      {"a tired member's transform of 3e38",
       false,
       {},
       {20 * n + 16, JOB_TIRED, world + 16016, bits(1e6f), trfs4 + 16, far, trfs4 + 48, far}},
      {"a farm on the pyramid's marks",
       false,
       {"farms_cidx\n", std::to_string(stones_markcidx[0] + GRIDSZ + 1), "farms_watr\n", "5"}},
      {"a dead member listed in a hut",
       false,
       {"huts_resi\n", "8", "huts_rest\n", "11.9", "huts_occu\n", "1"}},
      {"a plant size of 1e38", false, {"farms_size\n", "1e38"}},
      {"farm water of 1e10", false, {"farms_watr\n", "1e10"}},
      {"silver at 2147483647", false, {"taxc_silver ", "2147483647"}},
      {"a bakery on the hut", false, {"bakeries_cidx\n", std::to_string(huts_cidx[0])}},
      {"two farms on one site",
       false,
       {"farms_cidx\n" + std::to_string(farms_cidx[0]) + "\n", std::to_string(farms_cidx[0])}},
      {"a hut on the pond", false, {"huts_cidx\n", cell(32, 92)}},
      {"a tax office on the water of the edge", false, {"taxc_cidx\n", cell(1, 60)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SavePair bad = good;
    for (size_t k = 0; k < c.text.size(); k += 2) {
      size_t at = bad.txt.find(c.text[k]);
      ASSERT_NE(at, std::string::npos) << c.text[k];
      at += c.text[k].size();
      bad.txt.replace(at, bad.txt.find_first_of(" \n", at) - at, c.text[k + 1]);
    }
    for (size_t k = 0; k < c.bin.size(); k += 2) memcpy(&bad.bin[c.bin[k]], &c.bin[k + 1], 4);
    EXPECT_EQ(plays_on(bad), c.taken);
    EXPECT_TRUE(c.taken || save_pair_of_world() == good);  // a refusal changes nothing
    ASSERT_TRUE(load(good));
  }

  // Any value in any place: whatever the loader takes plays into a pair it takes again.
  static const char* const words[] = {"-1",   "0",    "1",     "8",    "-127", "4000",
                                      "1e10", "3e38", "-3e38", "11.9", "1e12", "2147483647"};
  static const uint32_t values[] = {
      0, 2, 9, 12, 0x0ffff, bits(-127.f), bits(300.f), bits(1e30f), bits(-3e38f)};
  std::mt19937 rng(20261209);
  int taken = 0;
  for (int k = 0; k < 80; k++) {
    SavePair bad = good;
    if (k % 2 == 0) {  // the number at or after a random place of the text
      const size_t at = bad.txt.find_first_of("-0123456789", rng() % bad.txt.size());
      if (at != std::string::npos)
        bad.txt.replace(at, bad.txt.find_first_not_of("-0123456789.", at) - at, words[rng() % 12]);
    } else {
      memcpy(&bad.bin[rng() % (bad.bin.size() / 4) * 4], &values[rng() % 9], 4);
    }
    taken += plays_on(bad);
    ASSERT_TRUE(load(good));
  }
  EXPECT_GT(taken, 0);
}

// Deliveries at the most silver leave it there, in a pair that loads.
TEST_F(SavePlay, SilverStopsAtItsMost) {
  float pos[3] = {90.5f, 29.6f, 0.85f};
  taxc_silver = TAXC_MAX_SILVER - 1;
  for (int delivery = 0; delivery < 2; delivery++) {
    taxc_fdid[0] = food_create_at_bakery(0, pos), taxc_food[0] = 1;
    food_deliver(taxc_fdid[0], -1, 0, pos);
    taxc_update();
    EXPECT_EQ(taxc_silver, TAXC_MAX_SILVER);
  }
  EXPECT_TRUE(plays_on(save_pair_of_world()));
}

}  // namespace
