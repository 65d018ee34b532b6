#include "wld_save.h"

#include <cstdlib>
#include <cstring>

#include "bakeries.h"
#include "buckets.h"
#include "cats.h"
#include "crowd.h"
#include "farms.h"
#include "food.h"
#include "grain.h"
#include "huts.h"
#include "log.h"
#include "mtbe.h"
#include "plates.h"
#include "savefile.h"
#include "sickles.h"
#include "stones.h"
#include "taxc.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_physics.h"
#include "wld_save_check.h"
#include "wld_start.h"
#include "wld_state.h"
#include "wld_walls.h"

typedef bool (*text_section_fn)(int out, FILE* f);

// Sections between the cats and the stones, in file order; the building walls
// go in after the first four.
static const text_section_fn building_sections[] = {farms_serialize, bakeries_serialize, huts_serialize,
                                                    taxc_serialize};
static const text_section_fn item_sections[] = {food_serialize, grain_serialize, buckets_serialize,
                                                sickles_serialize, plates_serialize};

struct Block {
  const char* name;
  void* data;
  size_t size;
};

// The world's own binary arrays, sized by the crowd as it stands.
static void world_blocks(Block b[6]) {
  size_t n = (size_t)crowd_sz;
  b[0] = {"wld_emote", wld_emote, sizeof wld_emote};
  b[1] = {"wld_exhausttime", wld_exhausttime, n * sizeof wld_exhausttime[0]};
  b[2] = {"wld_worktime", wld_worktime, n * sizeof wld_worktime[0]};
  b[3] = {"wld_trfs", wld_trfs, n * sizeof wld_trfs[0]};
  b[4] = {"wld_height", wld_height, sizeof wld_height};
  b[5] = {"wld_cellflags", wld_cellflags, sizeof wld_cellflags};
}

static bool write_world(FILE* txt, FILE* bin) {
  save_write_int(txt, "version", SAVE_VERSION);
  fprintf(txt, "wld_age %lf\n", wld_age);
  save_write_int(txt, "wld_numdead", wld_numdead);
  save_write_header(txt, "spawnqueues");
  save_write_ints(txt, spawnqueues, TRADECNT);
  bool ok = mtbe_serialize(1, txt, (float)wld_age);
  save_write_int(txt, "crowd_sz", crowd_sz);
  ok = crowd_serialize(1, bin) && ok;
  Block blocks[6];
  world_blocks(blocks);
  for (const Block& b : blocks) ok = fwrite(b.data, 1, b.size, bin) == b.size && ok;
  ok = cats_serialize(1, txt, bin) && ok;
  for (text_section_fn section : building_sections) ok = section(1, txt) && ok;
  for (text_section_fn section : item_sections) ok = section(1, txt) && ok;
  return stones_serialize(1, txt, bin) && ok;
}

// The world's own lines at the top of the text file, checked before anything
// changes.
struct Header {
  double age;
  int dead;
  int32_t queues[TRADECNT];
};

static bool read_header(FILE* txt, Header* h) {
  int version;
  if (!save_read_int(txt, "version", &version)) return false;
  if (version != SAVE_VERSION) {
    LOG("ERR Saved game of version %d, this game reads %d; nothing loaded.", version, SAVE_VERSION);
    return false;
  }
  return save_read_double(txt, "wld_age", &h->age) && save_read_count(txt, "wld_numdead", 0, CROWDSZ, &h->dead) &&
         save_skip_header(txt, "spawnqueues") && save_read_ints(txt, "spawnqueues", h->queues, TRADECNT) &&
         wld_check_header(h->age, h->queues);
}

// Every member, dead ones included, stands in the space again.
static bool read_crowd(FILE* txt, FILE* bin) {
  wld_remove_bodies();
  if (!save_read_count(txt, "crowd_sz", 0, CROWDSZ, &crowd_sz) || !crowd_serialize(0, bin) ||
      !wld_check_members())
    return false;
  for (int i = 0; i < crowd_sz; i++)
    if (!wld_add_body(i, crowd_posx[i], crowd_posy[i])) return false;
  Block blocks[6];
  world_blocks(blocks);
  for (const Block& b : blocks)
    if (!save_read_block(bin, b.name, b.data, b.size)) return false;
  return wld_check_member_arrays();
}

// Costs and terrain walls come from the loaded heights; the loaded cell
// types stay.
static void rebuild_terrain() {
  wld_compute_basecosts(wld_height);
  LOG("Cleared %d wall shapes.", wld_clear_walls());
  LOG("Created %d wall shapes.", wld_create_walls());
}

static void add_building_walls() {
  for (int b = 0; b < bakeries_count; b++) wld_walls_bakery(bakeries_cidx[b] % GRIDSZ, bakeries_cidx[b] / GRIDSZ);
  for (int h = 0; h < huts_count; h++) wld_walls_hut(huts_cidx[h] % GRIDSZ, huts_cidx[h] / GRIDSZ);
  for (int t = 0; t < taxc_count; t++) wld_walls_taxc(taxc_cidx[t] % GRIDSZ, taxc_cidx[t] / GRIDSZ);
}

// The open-side bits follow the rebuilt costs and walls whatever the file
// held, so the loaded world does not depend on the walls of the one before.
static void reopen_sides() {
  for (int c = 0; c < GRIDCELLS; c++) {
    wld_cellflags[c] = (uint8_t)((wld_cellflags[c] & 0xf0) | wld_open_sides(c));
  }
}

// Nothing may follow the last section: trailing data means the two files do
// not belong together.
static bool at_end(FILE* txt, FILE* bin) {
  int c;
  while ((c = fgetc(txt)) != EOF)
    if (c != ' ' && c != '\n' && c != '\r' && c != '\t') {
      LOG("ERR Saved game: the text file goes on after its last section.");
      return false;
    }
  if (fgetc(bin) != EOF) {
    LOG("ERR Saved game: the binary file goes on after its last block.");
    return false;
  }
  return true;
}

// Everything after the header, into the live tables.
static bool read_world(const Header& h, FILE* txt, FILE* bin) {
  wld_age = h.age;
  wld_numdead = h.dead;
  memcpy(spawnqueues, h.queues, sizeof spawnqueues);
  if (!mtbe_serialize(0, txt, (float)wld_age) || !read_crowd(txt, bin)) return false;
  rebuild_terrain();
  if (!cats_serialize(0, txt, bin)) return false;
  cats_create_bodies();
  for (text_section_fn section : building_sections)
    if (!section(0, txt)) return false;
  add_building_walls();
  for (text_section_fn section : item_sections)
    if (!section(0, txt)) return false;
  if (!stones_serialize(0, txt, bin) || !wld_check_references() || !at_end(txt, bin)) return false;
  reopen_sides();
  wld_selected = wld_selectedcat = -1;
  return true;
}

// The running world kept in memory in the saved form while a load is tried.
struct Snapshot {
  char* txt = nullptr;
  size_t txtlen = 0;
  char* bin = nullptr;
  size_t binlen = 0;
  double age;
  uint8_t height[GRIDCELLS];
  ~Snapshot() {
    free(txt);
    free(bin);
  }
};

static bool snapshot_take(Snapshot* s) {
  s->age = wld_age;
  memcpy(s->height, wld_height, sizeof wld_height);
  FILE* txt = open_memstream(&s->txt, &s->txtlen);
  FILE* bin = open_memstream(&s->bin, &s->binlen);
  bool ok = txt && bin && write_world(txt, bin);
  if (txt) ok = fclose(txt) == 0 && ok;
  if (bin) ok = fclose(bin) == 0 && ok;
  return ok;
}

static bool snapshot_restore(const Snapshot* s) {
  FILE* txt = fmemopen(s->txt, s->txtlen, "r");
  FILE* bin = fmemopen(s->bin, s->binlen, "r");
  Header h;
  bool restored = txt && bin && read_header(txt, &h) && read_world(h, txt, bin);
  if (txt) fclose(txt);
  if (bin) fclose(bin);
  return restored;
}

// The running world failed the checks of its own saved form (a body pushed
// far off the site, say): rather than stop the game, a new game starts on
// its terrain, with its office, its first workers and its clock running.
static void snapshot_fall_back(const Snapshot* s) {
  LOG("ERR The world before the load could not be put back; a new game starts on its terrain.");
  memcpy(wld_height, s->height, sizeof wld_height);
  mtbe_clear();
  if (!wld_start_new_game()) wld_init();
  wld_age = s->age;
}

static bool read_pair(FILE* txt, FILE* bin) {
  Header h;
  if (!read_header(txt, &h)) return false;
  if (!wld_space) {
    LOG("ERR No world to load the saved game into.");
    return false;
  }
  Snapshot before;
  if (!snapshot_take(&before)) {
    LOG("ERR The running world could not be kept aside; nothing loaded.");
    return false;
  }
  if (read_world(h, txt, bin)) return true;
  LOG("ERR The saved game is damaged; the world stays as it was.");
  if (!snapshot_restore(&before)) snapshot_fall_back(&before);
  return false;
}

bool wld_serialize(int out, FILE* txt, FILE* bin) {
  if (!txt || !bin) {
    LOG("ERR No save streams for the world.");
    return false;
  }
  return out ? write_world(txt, bin) : read_pair(txt, bin);
}
