// What the food and grain pools share: slots whose owner fields (-1 none) say
// who holds the item, the lowest free slot taken first, a model matrix per
// slot, and a saved section that keeps the slot numbers.
#pragma once
#include <cstdint>
#include <cstdio>

#define ITEMS_MAXOWNERS 4

// One kind of holder of an item: a bakery, a carrier, a hut...
struct ItemOwner {
  int32_t* of;       // per slot: the holder's index, -1 none
  int limit;         // a holder is 0..limit-1
  const char* name;  // "bkry": the saved line "food_bkry[ idx ]"
};

struct ItemPool {
  const char* name;  // "food": names the saved lines ("food_cnt", "food_trfs[ idx ]")
  int cap;
  float (*trfs)[16];
  ItemOwner owners[ITEMS_MAXOWNERS];  // in saved order; unused entries stay zero
};

bool items_in_use(const ItemPool* p, int i);
// The lowest slot with every owner -1, or -1.
int items_lowest_free(const ItemPool* p);
// The first slot whose `owner` field (one of p's) equals v, or -1.
int items_find(const ItemPool* p, const int32_t* owner, int v);
// Every owner of slot i becomes -1; an index outside the pool is ignored.
void items_release(const ItemPool* p, int i);
// Every slot free; the matrices are left as they are.
void items_clear(const ItemPool* p);
// Every matrix zero, as in a fresh process.
void items_zero_matrices(const ItemPool* p);
int items_count_in_use(const ItemPool* p);

// The placement matrix: a quarter turn about the vertical (the model's x axis
// to -y) translated to pos.
void items_place(float m[16], const float pos[3]);
// Laying a carried item down rewrites only the turn and the translation; the
// rest keeps what the carrier's transform left there.
void items_lay_down(float m[16], const float pos[3]);

#define ITEMS_LIFT 1.267f  // a carried item rides this high above its carrier's origin

// m becomes the carrier's transform raised by lift, element 15 kept at 1: the
// carrier's leg swing there would misplace the item.
void items_follow(float m[16], const float carrier[16], float lift);
// Every slot whose `carrier` field names a member follows that member's
// transform in trfs, moved back by `back` along the carrier's x axis.
void items_follow_carriers(const ItemPool* p, const int32_t* carrier, const float (*trfs)[16],
                           float back, float lift);

// out != 0 writes the slots in use; else reads them back into their own
// slots of a pool its module has cleared. Each read item must have exactly
// one owner in range.
bool items_serialize(const ItemPool* p, int out, FILE* f);
