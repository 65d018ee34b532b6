// A fresh flat world with the bus recorded, shared by the world update,
// new-world and job tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "crowd.h"
#include "mtbe.h"
#include "notify.h"
#include "wld_init.h"
#include "wld_site.h"
#include "wld_state.h"

inline std::vector<std::string>& world_posts() {
  static std::vector<std::string> posts;
  return posts;
}

inline void world_record(const char* text) { world_posts().push_back(text); }

// Posts whose text begins with prefix.
inline int world_count(const std::string& prefix) {
  int n = 0;
  for (const std::string& p : world_posts()) n += p.compare(0, prefix.size(), prefix) == 0;
  return n;
}

static const char* const world_words[] = {"playfx",      "missinghut",   "missingbakery",
                                          "achievement", "steamintstat", "steamsync"};

class WorldRun : public WorldTest {
 protected:
  void SetUp() override {
    fresh_sim();
    site_flat(5);
    wld_init();
    world_posts().clear();
    for (const char* w : world_words) notify_listen(w, world_record);
  }
  void TearDown() override {
    for (const char* w : world_words) notify_unlisten(w, world_record);
    WorldTest::TearDown();
  }

  // A new member of the trade in the middle of cell (x, y), in the state.
  int member_at(int trade, int x, int y, uint32_t state) {
    int i = wld_spawn(trade);
    move_to(i, x, y);
    crowd_goal[i] = state;
    return i;
  }

  void move_to(int i, int x, int y) {
    crowd_posx[i] = x + 0.5f;
    crowd_posy[i] = y + 0.5f;
    crowd_cidx[i] = grid_cidx(x, y);
    if (wld_bodies[i]) cpBodySetPosition(wld_bodies[i], cpv(x + 0.5, y + 0.5));
  }
};
