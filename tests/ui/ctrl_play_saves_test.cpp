// The seeded random player's short runs: every pair play saves loads at the
// next start, and nobody is left in a building's closed cell.
#include <gtest/gtest.h>

#include "ctrl_fixture.h"
#include "randplay.h"

namespace {

TEST(CtrlPlaySaves, EveryPairPlaySavesLoadsAndSavesAgainAsItWas) {
  const struct {
    uint32_t seed;
    int32_t crowd;  // a grown game: hundreds of workers jam at its buildings early
  } runs[] = {{4, 0}, {11, 0}, {31, 0}, {1, 2500}};
  for (const auto& run : runs) {
    fresh_ui();
    ctrl_tempfiles files;
    static randplay_result r;
    testing::internal::CaptureStdout();
    randplay_run(run.seed, 25.0, files.dir, &r, run.crowd);
    testing::internal::GetCapturedStdout();
    EXPECT_GT(r.loads, 0) << "seed " << run.seed;
    EXPECT_GT(r.most_workers, run.crowd / 20) << "seed " << run.seed;  // the hires came
    for (int f = 0; f < r.faults; f++)
      ADD_FAILURE() << "seed " << run.seed << " at " << (int)r.fault[f].played
                    << " s of play: " << r.fault[f].line << "\n  replay: build/play_saves --seed "
                    << run.seed << " --minutes 1 --crowd " << run.crowd;
  }
  fresh_ui();
}

}  // namespace
