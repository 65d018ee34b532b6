#include <gtest/gtest.h>

#include <string>

#include "cats.h"
#include "fresh_ui.h"
#include "game_screen.h"
#include "geomdb.h"
#include "gl_context.h"
#include "models.h"
#include "mtbe.h"

namespace {

int entry_of(const geomdesc* d) {
  for (int i = 0; i < geomdb_sz; i++)
    if (geomdb_entries[i].desc == d) return i;
  return -1;
}

// The cats' models come once a process, with room for every cat, between the
// ground's and the tools'; the end clears the event tracks.
TEST(CtrlCreate, CatModelsComeOnceBetweenTheGroundAndTheToolsAndTheEndClearsTheTracks) {
  fresh_ui();
  game_screen screen;
  bool opened = false;
  std::string log = gl_logged([&] { opened = game_screen_open(&screen, 320, 200); });
  ASSERT_TRUE(opened) << SDL_GetError();
  EXPECT_EQ(gl_count(log, "\ncats_init()\n"), 1);
  const int sit = entry_of(&geomdesc_catsit);
  ASSERT_GE(sit, 1);
  EXPECT_EQ(entry_of(&geomdesc_mappedterrainblu), sit - 1);
  EXPECT_EQ(entry_of(&geomdesc_catstand), sit + 1);
  EXPECT_EQ(entry_of(&geomdesc_bucke), sit + 2);
  for (int e : {sit, sit + 1}) EXPECT_EQ(geomdb_entries[e].numInst, (uint32_t)MAXCATS);

  const int32_t entries = geomdb_sz;
  for (int i = 0; i < 2; i++) mtbe_create(64, 0.0f);
  const std::string cleared = "Cleared " + std::to_string(mtbe_numtracks) + " event tracks.\n";
  log = gl_logged([] { ctrl_destroy(); });
  EXPECT_EQ(gl_count(log, cleared), 1) << log;
  log = gl_logged([&] { ctrl_create(screen.width, screen.height, 1.0f); });
  EXPECT_EQ(gl_count(log, "cats_init()"), 0);
  EXPECT_EQ(geomdb_sz, entries);
  game_screen_close(&screen);
  fresh_ui();
}

}  // namespace
