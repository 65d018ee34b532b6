// The seeded random player's short run: every pair that play saves loads at
// the next start, and a save right after that load writes the very same pair.
#include <gtest/gtest.h>

#include "ctrl_fixture.h"
#include "randplay.h"

namespace {

TEST(CtrlPlaySaves, EveryPairPlaySavesLoadsAndSavesAgainAsItWas) {
  const struct {
    uint32_t seed;
    bool wins;      // the masons' seeds finish the pyramid
    int32_t crowd;  // a grown game: hundreds of workers jam at its buildings early
  } runs[] = {{4, false, 0}, {11, true, 0}, {31, false, 0}, {1, false, 2500}};
  const double seconds = 25.0;
  for (const auto& run : runs) {
    SCOPED_TRACE(testing::Message() << "seed " << run.seed);
    fresh_ui();
    ctrl_tempfiles files;
    static randplay_result r;
    testing::internal::CaptureStdout();
    randplay_run(run.seed, seconds, files.dir, &r, run.crowd);
    testing::internal::GetCapturedStdout();
    EXPECT_GT(r.saves, 0);
    EXPECT_EQ(r.loads + r.refused, r.saves);
    if (run.crowd > 0) {
      EXPECT_GT(r.most_workers, 150);  // the grown game's hires came
    }
    EXPECT_EQ(r.won > 0, run.wins);
    for (int f = 0; f < r.faults; f++) {
      char where[96];
      snprintf(where, sizeof where, "seed %u at %.1f s of play (saved game age %.1f s): ", run.seed,
               r.fault[f].played, r.fault[f].age);
      ADD_FAILURE() << where << r.fault[f].line << "\n  replay: build/play_saves --seed "
                    << run.seed << " --minutes 1 --crowd " << run.crowd;
    }
  }
  fresh_ui();
}

}  // namespace
