#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>

#include "save_game.h"
#include "wld_site.h"
#include "wld_update.h"

namespace {

class LostGameSave : public WorldTest {};

// A game lost before its marks came down through the stones module, saved by
// the game of that time: 90 members and 162 marks listed on cells whose type
// the loss had cleared. That shape alone loads, its marks taken down, and
// plays on into a pair that loads; marks damaged any other way are refused.
TEST_F(LostGameSave, OnlyTheShapeALossLeftLoadsWithItsMarksDown) {
  save_game_new_world();
  auto gunzip = [](const char* path) {
    std::string s(1 << 18, '\0');
    gzFile f = gzopen(path, "rb");
    s.resize(f ? std::max(gzread(f, &s[0], (unsigned)s.size()), 0) : 0);
    if (f) gzclose(f);
    return s;
  };
  const SavePair lost{gunzip(TAVOREK_SIM_TESTS "/lost_game.txtsav.gz"),
                      gunzip(TAVOREK_SIM_TESTS "/lost_game.binsav.gz")};
  const size_t FLAGS = 100 * 90 + 32384, MCIDX = lost.bin.size() - 162 * 8;
  ASSERT_GT(lost.bin.size(), MCIDX);
  int32_t mark[2];
  memcpy(mark, &lost.bin[MCIDX], sizeof mark);
  const struct {
    const char* what;
    size_t at;  // where `size` bytes of the binary file are rewritten
    int32_t value, size;
  } cases[] = {
      {"as saved", 0, 0, 0},
      {"a mark cell kept its type", FLAGS + mark[0], MARK << 4 | 15, 1},
      {"a stock cell kept its type", FLAGS + grid_cidx(119, 119), STCK << 4 | 15, 1},
      {"a listed cell has another type", FLAGS + mark[1], FARM << 4 | 15, 1},
      {"two marks on one cell", MCIDX + 4, mark[0], 4},
      {"a mark counts a block it does not hold", MCIDX + 162 * 4, 1, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SavePair p = lost;
    memcpy(&p.bin[c.at], &c.value, c.size);
    testing::internal::CaptureStdout();
    const bool ok = save_pair_load(p);
    const std::string log = testing::internal::GetCapturedStdout();
    ASSERT_EQ(ok, c.size == 0) << log;
    EXPECT_EQ(log.find("ERR") == std::string::npos, ok) << log;
    EXPECT_EQ(log.find("Saved game of a lost game: its 162 build marks taken down.") != log.npos,
              ok);
  }
  // The refused pairs left the lost game as it loaded, marks down.
  EXPECT_EQ(nummarks, 0);
  EXPECT_EQ(std::count_if(
                stones_stat, stones_stat + STONECNT,
                [](uint32_t s) { return (s & (STONE_DEPOSIT | STONE_PERMPOS)) == STONE_DEPOSIT; }),
            0);
  wld_started = 1;
  for (int frame = 0; frame < 60; frame++) wld_update(4, 4 / 240.0);
  testing::internal::CaptureStdout();
  EXPECT_TRUE(save_pair_load(save_pair_of_world()));
  EXPECT_EQ(testing::internal::GetCapturedStdout().find("ERR"), std::string::npos);
}

}  // namespace
