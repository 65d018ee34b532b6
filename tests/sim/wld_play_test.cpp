// A small game running on the pool: water, grain and food go round until
// the first silver, with the tool and item counters true throughout.
#include <gtest/gtest.h>

#include "bakeries.h"
#include "buckets.h"
#include "farms.h"
#include "food.h"
#include "huts.h"
#include "plates.h"
#include "taxc.h"
#include "threadpool.h"
#include "wld_update.h"
#include "wld_walls.h"
#include "wld_world.h"

TEST_F(WorldRun, TheProductionChainPaysSilver) {
  for (int x = 50; x < 90; x++) {  // a canal with low banks
    wld_height[grid_cidx(x, 44)] = wld_height[grid_cidx(x, 46)] = 2;
    wld_height[grid_cidx(x, 45)] = 0;
  }
  wld_init();
  wld_add_taxc(61, 59);
  farms_add(70, 50);
  bakeries_add(66, 54);
  wld_walls_bakery(66, 54);
  huts_add(56, 52);
  wld_walls_hut(56, 52);
  for (int q = 1; q < TRADECNT; q++) spawnqueues[q] = 4;
  wld_started = 1;
  threadpool_create();
  double end = wld_age + 120.0;  // the clock runs on across new worlds
  while (taxc_silver == TAXC_START_SILVER && wld_age < end) {
    wld_update(8, 1.0 / 30.0);
    ASSERT_EQ(buckets_nume + buckets_numf, buckets_count);
    ASSERT_EQ(plates_nume + plates_numf, plates_count);
    int carried = 0;
    for (int i = 0; i < crowd_sz; i++) carried += food_find_carried(i) >= 0;
    ASSERT_EQ(carried, plates_numf);
  }
  threadpool_destroy();
  EXPECT_EQ(taxc_silver, TAXC_START_SILVER + TAXC_PAY);
  EXPECT_EQ(wld_numdead, 0);
}
