// A game in the middle of play, with something in every saved table, and the
// saved pair held in memory. Shared by the save tests and the load fuzzer.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bakeries.h"
#include "buckets.h"
#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "mtbe.h"
#include "plates.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_save.h"
#include "wld_state.h"
#include "wld_walls.h"

struct SavePair {
  std::string txt, bin;
  bool operator==(const SavePair& o) const { return txt == o.txt && bin == o.bin; }
};

inline SavePair save_pair_of_world() {
  SavePair p;
  char *t = nullptr, *b = nullptr;
  size_t tn = 0, bn = 0;
  FILE* txt = open_memstream(&t, &tn);
  FILE* bin = open_memstream(&b, &bn);
  wld_serialize(1, txt, bin);
  fclose(txt);
  fclose(bin);
  p.txt.assign(t, tn);
  p.bin.assign(b, bn);
  free(t);
  free(b);
  return p;
}

// Loads the two files straight from memory ("r" only reads it).
inline bool save_files_load(const char* txt, size_t txtlen, const char* bin, size_t binlen) {
  FILE* t = fmemopen((void*)txt, txtlen, "r");
  FILE* b = fmemopen((void*)bin, binlen, "r");
  bool ok = wld_serialize(0, t, b);
  if (t) fclose(t);
  if (b) fclose(b);
  return ok;
}

inline bool save_pair_load(const SavePair& p) {
  return save_files_load(p.txt.data(), p.txt.size(), p.bin.data(), p.bin.size());
}

// A new world on a flat site of height 5 with a border of water.
inline void save_game_new_world() {
  wld_reset();
  for (int c = 0; c < GRIDCELLS; c++) wld_height[c] = wld_is_border(c) ? 0 : 5;
  wld_init();
}

// Ten members (member 8 dead), a carried stone, grain carried and at a
// bakery, food at a bakery, on a plate and at a hut, a full bucket, a cat,
// event tracks with history.
inline void save_game_build() {
  save_game_new_world();
  wld_add_taxc(90, 30);
  farms_add(80, 50);
  bakeries_add(96, 50);
  wld_walls_bakery(96, 50);
  huts_add(100, 30);
  wld_walls_hut(100, 30);
  for (int i = 0; i < 10; i++) wld_spawn(i % 4);
  for (int i = 0; i < 10; i++) {
    crowd_posx[i] += 0.25f * i;
    crowd_time[i] = 40.0 + i;
    wld_worktime[i] = 3.5f * i;
    for (int k = 0; k < 16; k++) wld_trfs[i][k] = k % 5 == 0 ? 1.0f : 0.0f;
    wld_trfs[i][12] = crowd_posx[i];
    wld_trfs[i][13] = crowd_posy[i];
  }
  // Member 8 died exhausted: no body, lying down.
  wld_remove_body(8);
  crowd_goal[8] = 12;
  wld_emote[8] = 2;
  wld_numdead = 1;
  wld_trfs[8][4] = 0.0f, wld_trfs[8][5] = 0.0f, wld_trfs[8][6] = 1.0f;
  wld_trfs[8][8] = 0.0f, wld_trfs[8][9] = -1.0f, wld_trfs[8][10] = 0.0f;
  wld_trfs[8][13] += 0.7f;

  crowd_goal[0] = 2;
  stones_take(0);
  buckets_set_full(1, 1);
  crowd_goal[1] = 4;
  grain_assign(2);
  crowd_goal[2] = 6;
  float pos[3] = {95.0f, 50.0f, 0.9f};
  int g = grain_assign(6);
  bakeries_drop_grain(g, pos, 0);
  grain_drop_at_bakery(g, 0, pos);
  int f = food_create_at_bakery(0, pos);
  bakeries_fids[0][0] = f;
  bakeries_food[0] = 1;
  food_pick_up(food_create_at_bakery(0, pos), 3);
  plates_set_full(3, 1);
  crowd_goal[3] = 8;
  int h = food_create_at_bakery(0, pos);
  food_pick_up(h, 7);
  huts_deliver_food(0, h, pos);
  food_deliver(h, 0, -1, pos);

  cats_add(90.5f, 30.5f, 0.75f);
  cats_create_bodies();
  for (int t = 0; t < mtbe_numtracks; t++) mtbe_add_event(t, 100.0f + t);
  spawnqueues[0] = 2;
  spawnqueues[2] = 1;
  wld_age = 123.456;
  wld_started = 1;
}
