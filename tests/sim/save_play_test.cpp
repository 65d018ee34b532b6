// A pair the loader takes must play into pairs it takes again: hostile values
// are refused, or held to what play reaches, before the game runs on them.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

#include "save_game.h"
#include "wld_save_check.h"
#include "wld_site.h"
#include "wld_update.h"

namespace {

// Byte offsets into the binary file of a game of n members.
struct Offsets {
  size_t n;
  size_t phase(int i) const { return n * (4 + 4 + 8) + 4 * i; }
  size_t goal(int i) const { return n * (4 + 4 + 8 + 4) + 4 * i; }
  size_t world() const { return n * 28; }
  size_t exhaust(int i) const { return world() + 16000 + 4 * i; }
  size_t trfs(int i, int k) const { return world() + 16000 + n * 8 + 64 * i + 4 * k; }
  size_t cat(int i, int k) const { return world() + 16000 + n * 72 + 32768 + 12 * i + 4 * k; }
};

template <typename T>
void poke(std::string* s, size_t at, T v) {
  ASSERT_LE(at + sizeof v, s->size());
  memcpy(&(*s)[at], &v, sizeof v);
}

// The first value after `key` ("wld_age " or a header line "huts_resi\n")
// becomes `value`.
void set_value(std::string* txt, const std::string& key, const std::string& value) {
  size_t at = txt->find(key);
  ASSERT_NE(at, std::string::npos) << key;
  at += key.size();
  txt->replace(at, txt->find_first_of(" \n", at) - at, value);
}

std::string value_of(const std::string& txt, const std::string& key) {
  size_t at = txt.find(key) + key.size();
  return txt.substr(at, txt.find_first_of(" \n", at) - at);
}

bool quiet_load(const SavePair& p) {
  testing::internal::CaptureStdout();
  bool ok = save_pair_load(p);
  testing::internal::GetCapturedStdout();
  return ok;
}

// Three seconds of play, a frame at a time.
void play() {
  testing::internal::CaptureStdout();
  for (int frame = 0; frame < 90; frame++) wld_update(8, 8 / 240.0);
  testing::internal::GetCapturedStdout();
}

class SavePlay : public WorldTest {
 protected:
  // The mid-game world with a pond, played for a moment, as saved.
  void SetUp() override {
    testing::internal::CaptureStdout();
    save_game_build();
    for (int y = 90; y < 96; y++)
      for (int x = 30; x < 36; x++) wld_height[grid_cidx(x, y)] = 0;
    const bool built = save_pair_load(save_pair_of_world());  // walls and costs of the pond
    testing::internal::GetCapturedStdout();
    ASSERT_TRUE(built);
    play();
    good = save_pair_of_world();
    at = {(size_t)crowd_sz};
  }

  // Loads the pair; when taken, plays on and saves, and the loader must take
  // what the game wrote.
  bool plays_into_a_pair_it_takes(const SavePair& p, const std::string& what) {
    if (!quiet_load(p)) return false;
    play();
    const SavePair next = save_pair_of_world();
    EXPECT_TRUE(quiet_load(next)) << what;
    return true;
  }

  SavePair good;
  Offsets at;
};

typedef std::function<void(SavePair*, const Offsets&)> Change;

TEST_F(SavePlay, APairThePlayedGameWroteLoadsUnchanged) {
  ASSERT_TRUE(quiet_load(good));
  EXPECT_EQ(save_pair_of_world(), good);
  EXPECT_TRUE(plays_into_a_pair_it_takes(good, "as written"));
}

// Values held or derived on load: the pair is taken, and plays on.
TEST_F(SavePlay, ValuesBeyondPlayAreHeldAndPlayOn) {
  const struct {
    const char* what;
    Change change;
    std::function<bool()> loaded;  // what holds after the load
  } cases[] = {
      {"a walk phase of 1e30",
       [](SavePair* p, const Offsets& o) { poke(&p->bin, o.phase(0), 1e30f); },
       [] { return fabsf(crowd_phase[0]) <= (float)M_PI; }},
      {"cats at x = -127",
       [](SavePair* p, const Offsets& o) { poke(&p->bin, o.cat(0, 0), -127.0f); },
       [] { return cats_pos[0][0] >= 1.0f && cats_pos[0][0] < 2.0f; }},
      {"a cat far beyond the grid",
       [](SavePair* p, const Offsets& o) { poke(&p->bin, o.cat(0, 1), 3e38f); },
       [] { return cats_pos[0][1] == 126.5f; }},
      {"an age at the loader's limit",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "wld_age ", "1000000000000.000000"); },
       [] { return wld_age == SAVE_MAXTIME; }},
      {"an age past it",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "wld_age ", "1e300"); },
       [] { return wld_age == SAVE_MAXTIME; }},
      {"a pyramid level the heights have not reached",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "stones_pyramid_level ", "0"); },
       [] { return stones_pyramid_level == stones_compute_pyramid_level(wld_height); }},
  };
  for (const auto& m : cases) {
    SCOPED_TRACE(m.what);
    SavePair bad = good;
    m.change(&bad, at);
    const bool taken = quiet_load(bad);
    EXPECT_TRUE(taken);
    if (taken) {
      EXPECT_TRUE(m.loaded());
    }
    EXPECT_TRUE(plays_into_a_pair_it_takes(bad, m.what));
    ASSERT_TRUE(quiet_load(good));
  }
}

// Values no play leaves behind: the pair is refused and set aside.
TEST_F(SavePlay, StatesPlayCannotReachAreRefused) {
  const int mark = stones_markcidx[0];
  const std::string hut = value_of(good.txt, "huts_cidx\n");
  const struct {
    const char* what;
    Change change;
  } cases[] = {
      {"a tired member's transform of 3e38",
       [](SavePair* p, const Offsets& o) {
         poke(&p->bin, o.goal(4), (uint32_t)JOB_TIRED);
         poke(&p->bin, o.exhaust(4), 1e6f);
         for (int k = 0; k < 16; k++) poke(&p->bin, o.trfs(4, k), 3e38f);
       }},
      {"a farm on the pyramid's marks",
       [&](SavePair* p, const Offsets&) {
         set_value(&p->txt, "farms_cidx\n", std::to_string(mark + GRIDSZ + 1));
         set_value(&p->txt, "farms_watr\n", "5.000000");
       }},
      {"a dead member listed in a hut",
       [](SavePair* p, const Offsets&) {
         set_value(&p->txt, "huts_resi\n", "8");
         set_value(&p->txt, "huts_rest\n", "11.900000");
         set_value(&p->txt, "huts_occu\n", "1");
       }},
      {"a plant size of 1e38",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "farms_size\n", "1e38"); }},
      {"a negative plant size",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "farms_size\n", "-5"); }},
      {"farm water of 1e10",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "farms_watr\n", "1e10"); }},
      {"silver at 2147483647",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "taxc_silver ", "2147483647"); }},
      {"negative silver",
       [](SavePair* p, const Offsets&) { set_value(&p->txt, "taxc_silver ", "-1"); }},
      {"a bakery on the hut",
       [&](SavePair* p, const Offsets&) { set_value(&p->txt, "bakeries_cidx\n", hut); }},
      {"a hut on the pond",
       [](SavePair* p, const Offsets&) {
         set_value(&p->txt, "huts_cidx\n", std::to_string(grid_cidx(32, 92)));
       }},
      {"a tax office on the water of the edge",
       [](SavePair* p, const Offsets&) {
         set_value(&p->txt, "taxc_cidx\n", std::to_string(grid_cidx(1, 60)));
       }},
  };
  for (const auto& m : cases) {
    SCOPED_TRACE(m.what);
    SavePair bad = good;
    m.change(&bad, at);
    EXPECT_FALSE(plays_into_a_pair_it_takes(bad, m.what));
    EXPECT_EQ(save_pair_of_world(), good);
    ASSERT_TRUE(quiet_load(good));
  }
}

// Silver at its most, and every delivery after that, still saves a pair the
// loader takes.
TEST_F(SavePlay, SilverStopsAtItsMost) {
  float pos[3] = {90.5f, 29.6f, 0.85f};
  for (int32_t silver : {TAXC_MAX_SILVER - 3, TAXC_MAX_SILVER - 1, TAXC_MAX_SILVER}) {
    SCOPED_TRACE(silver);
    taxc_silver = silver;
    const int f = food_create_at_bakery(0, pos);
    ASSERT_GE(f, 0);
    food_deliver(f, -1, 0, pos);
    taxc_fdid[0] = f;
    taxc_food[0] = 1;
    taxc_update();
    EXPECT_EQ(taxc_silver, std::min(silver + TAXC_PAY, TAXC_MAX_SILVER));
    EXPECT_TRUE(plays_into_a_pair_it_takes(save_pair_of_world(), "silver"));
  }
}

// Any value in any place: whatever the loader takes plays into a pair it
// takes again.
TEST_F(SavePlay, RandomlyMutatedPairsThatLoadPlayIntoPairsThatLoad) {
  static const char* const words[] = {
      "-1",   "0",    "1",    "8",     "127",           "-127", "4000", "2147483647",
      "1e10", "1e30", "3e38", "-3e38", "1000000000000", "0.5",  "11.9", "20.5"};
  static const float floats[] = {-127.0f, 300.0f, 1e10f, 1e30f, 3e38f, -3e38f, 0.5f, 12.0f};
  static const uint32_t ints[] = {0, 1, 2, 8, 9, 11, 12, 0x0ffff, 0x80000000u};
  std::mt19937 rng(20261209);
  int taken = 0;
  for (int k = 0; k < 80; k++) {
    SavePair bad = good;
    if (k % 2 == 0) {
      // A number of the text file, counted from the start.
      size_t at = 0;
      for (int skip = rng() % 600; skip >= 0; skip--) {
        size_t next = bad.txt.find_first_of("-0123456789", at);
        if (next == std::string::npos) break;
        at = bad.txt.find_first_not_of("-0123456789.", next);
        if (skip == 0) {
          bad.txt.replace(next, at - next, words[rng() % (sizeof words / sizeof words[0])]);
          break;
        }
      }
    } else {
      const size_t at = (rng() % (bad.bin.size() / 4)) * 4;
      if (rng() % 2)
        poke(&bad.bin, at, floats[rng() % (sizeof floats / sizeof floats[0])]);
      else
        poke(&bad.bin, at, ints[rng() % (sizeof ints / sizeof ints[0])]);
    }
    taken += plays_into_a_pair_it_takes(bad, "mutation " + std::to_string(k));
    ASSERT_TRUE(quiet_load(good));
  }
  EXPECT_GT(taken, 0);
}

}  // namespace
