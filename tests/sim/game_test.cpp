// The game played headless for a few minutes by the scripted player on the
// generated terrain: the whole world update with the thread pool, as a
// player's placements and hires drive it.
#include <gtest/gtest.h>

#include "autoplay.h"
#include "bakeries.h"
#include "crowd.h"
#include "farms.h"
#include "huts.h"
#include "log.h"
#include "stones.h"
#include "taxc.h"
#include "terrain_map.h"
#include "wld.h"
#include "wld_save.h"
#include "wld_state.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

// Long enough for the first rest; tools/headless_game.sh plays the full game.
const double CI_MINUTES = 6.5;
const int SITE_LEVEL = 39;  // height of the pyramid site on the generated terrain

int count_carried() {
  int n = 0;
  for (int s = 0; s < STONECNT; s++) n += (stones_stat[s] & STONE_CARRIED) != 0;
  return n;
}

TEST(GameTest, ScriptedPlayerRunsTheChainRestsWorkersAndBuilds) {
  ASSERT_TRUE(autoplay_start(terrain_map_path().c_str()));
  autoplay_run(CI_MINUTES * 60.0);
  for (int i = 0; i < autoplay_linecount; i++) printf("%s\n", autoplay_lines[i]);
  const double* first = autoplay_first;

  // Water to the fields, grain to the bakery, food to the office and the huts.
  EXPECT_GT(first[AUTOPLAY_WATER], 0.0);
  EXPECT_GT(first[AUTOPLAY_HARVEST], first[AUTOPLAY_WATER]);
  EXPECT_GT(first[AUTOPLAY_GRAIN], first[AUTOPLAY_HARVEST]);
  EXPECT_GT(first[AUTOPLAY_FOODPICK], first[AUTOPLAY_GRAIN]);
  EXPECT_GT(first[AUTOPLAY_FOODTAXC], first[AUTOPLAY_FOODPICK]);
  EXPECT_GE(first[AUTOPLAY_SILVER], first[AUTOPLAY_FOODTAXC]);
  EXPECT_GT(first[AUTOPLAY_FOODHUT], first[AUTOPLAY_FOODPICK]);
  EXPECT_GE(autoplay_silver_earned, 100);

  // Every silver is accounted for: earned from food, spent on buildings and
  // hires (the first worker of each trade comes free).
  int hired = 0;
  for (int t = 0; t < 4; t++) hired += autoplay_hired[t];
  int built = 20 * farms_count + 100 * bakeries_count + 32 * huts_count + 300 * (taxc_count - 1);
  EXPECT_EQ(taxc_silver, 200 + autoplay_silver_earned - built - (hired - 4));
  EXPECT_GE(taxc_silver, 0);
  int queued = 0;
  for (int t = 0; t < 4; t++) queued += spawnqueues[t];
  EXPECT_EQ(crowd_sz + queued, hired);

  // Tired workers rest and come back; nobody dies this early.
  EXPECT_GT(first[AUTOPLAY_TIRED], 0.0);
  EXPECT_GT(first[AUTOPLAY_RESTING], first[AUTOPLAY_TIRED]);
  EXPECT_GT(first[AUTOPLAY_BACK], first[AUTOPLAY_RESTING]);
  EXPECT_EQ(wld_numdead, 0);

  // Builders carry blocks to the marks and finish some; each finished mark
  // is one base cell a step higher, and no block is lost on the way.
  EXPECT_GT(first[AUTOPLAY_DEPOSIT], first[AUTOPLAY_STONE]);
  EXPECT_GT(first[AUTOPLAY_MARK], first[AUTOPLAY_DEPOSIT]);
  const int finished = autoplay_count[AUTOPLAY_MARK];
  EXPECT_GE(finished, 5);
  EXPECT_EQ(autoplay_count[AUTOPLAY_DEPOSIT], stones_numdeposited);
  EXPECT_GE(stones_numdeposited, STONE_SLOTS * finished);
  EXPECT_EQ(stones_numstocked + count_carried() + stones_numdeposited, STONECNT);
  int raised = 0;
  for (int y = 62; y <= 74; y++)
    for (int x = 36; x <= 48; x++) raised += wld_height[y * GRIDSZ + x] == SITE_LEVEL + STONE_STEP;
  EXPECT_EQ(raised, finished);
  EXPECT_EQ(nummarks, 169 - finished);
  EXPECT_EQ(stones_pyramid_level, 7);
  autoplay_stop();
}

std::string file_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// A save and load in the middle of a game: the loaded world saves to the
// very same pair, and the game plays on from it.
TEST(GameTest, SaveAndLoadMidGameThenPlayOn) {
  char dir[] = "/tmp/tavorek_gameXXXXXX";
  ASSERT_TRUE(mkdtemp(dir));
  const char* old_path = filesPath;
  filesPath = dir;
  const std::string txt = std::string(dir) + "/game.txtsav",
                    bin = std::string(dir) + "/game.binsav";

  ASSERT_TRUE(autoplay_start(terrain_map_path().c_str()));
  autoplay_run(180.0);
  ASSERT_TRUE(wld_save());
  const std::string saved_txt = file_bytes(txt), saved_bin = file_bytes(bin);
  const double age = wld_age;
  const int members = crowd_sz, deposited = stones_numdeposited;

  ASSERT_TRUE(wld_load());
  EXPECT_NEAR(wld_age, age, 1e-6);  // "%lf" keeps six decimals
  EXPECT_EQ(crowd_sz, members);
  ASSERT_TRUE(wld_save());
  EXPECT_TRUE(file_bytes(txt) == saved_txt) << "text file differs after the load";
  EXPECT_TRUE(file_bytes(bin) == saved_bin) << "binary file differs after the load";

  wld_started = 1;  // a load leaves starting to the play handler
  const int earned = autoplay_silver_earned;
  autoplay_run(300.0);
  EXPECT_GT(autoplay_silver_earned, earned);
  EXPECT_GT(stones_numdeposited, deposited);
  autoplay_stop();
  filesPath = old_path;
  std::filesystem::remove_all(dir);
}

}  // namespace
