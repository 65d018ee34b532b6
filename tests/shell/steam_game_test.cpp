// The world's own posts reach the stats wrapper and the local store. Playing the first layer
// takes about 32 game minutes, so the game starts for real and then has the pyramid's base
// raised to its finished height, as a game saved near the layer's end would stand.
#include <gtest/gtest.h>

#include "autoplay.h"
#include "log.h"
#include "msgwords.h"
#include "notify.h"
#include "stats_folder.h"
#include "steam.h"
#include "steamlayer.h"
#include "stones.h"
#include "terrain_map.h"
#include "wld.h"

namespace {

// The base of the pyramid: rows 62..74, columns 36..48, finished at height 41.
const int BASE_ROW = 62, BASE_COL = 36, BASE_SIDE = 13, BASE_DONE = 41;

struct StatsGame : StatsFolder {
  void TearDown() override {
    stop_services();
    StatsFolder::TearDown();
  }
  void start_services() {
    ASSERT_TRUE(steamlayer_init());
    steam_init(0);
  }
  void stop_services() {
    if (!steam_helper) return;
    steam_reset();
    steamlayer_reset();
  }
  // Frames as the shell runs them: the world's update, then the callbacks.
  void play(double seconds) {
    const double until = autoplay_time() + seconds;
    while (autoplay_time() < until) {
      autoplay_frame();
      steamlayer_run_callbacks();
    }
  }
  static void raise_base(int keep_low) {
    for (int r = BASE_ROW; r < BASE_ROW + BASE_SIDE; r++)
      for (int c = BASE_COL; c < BASE_COL + BASE_SIDE; c++)
        if (keep_low-- <= 0 && wld_height[r * GRIDSZ + c] < BASE_DONE)
          wld_height[r * GRIDSZ + c] = BASE_DONE;
  }
};

TEST_F(StatsGame, FinishedFirstLayerStoresTheAchievementOnceAndItIsReadBack) {
  start_services();
  ASSERT_TRUE(autoplay_start(terrain_map_path().c_str()));
  play(13.0);  // four stats posts and a sync
  EXPECT_EQ(log_count(NO_ACHIEVEMENTS), 1);

  raise_base(1);  // one cell still low: the layer is not done
  play(1.0);
  EXPECT_EQ(stones_pyramid_level, 7);
  EXPECT_EQ(log_count("OnAchievementStored()"), 0);
  raise_base(0);
  play(2.0);
  EXPECT_EQ(stones_pyramid_level, 6);
  play(4.0);  // stored once only
  EXPECT_EQ(log_count("OnAchievementStored()"), 1);
  EXPECT_EQ(log_count("ERR stats failed to be stored on server (2)."), 0);
  autoplay_stop();

  // The next start reads it back from the store.
  stop_services();
  start_services();
  steamlayer_run_callbacks();
  EXPECT_EQ(log_count("ombrelith[ ] fundamentalist[X] masterfarmer[ ] masterplanner[ ] fatcat[ ] "
                      "brute[ ] jobcreator[ ]"),
            1);
}

}  // namespace
