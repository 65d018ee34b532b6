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

static bool tracks_section(int out, FILE* txt, FILE*) {
  return mtbe_serialize(out, txt, (float)wld_age);
}

// Reading leaves the bodies alone: they are made again once the whole pair
// has passed its checks.
static bool crowd_section(int out, FILE* txt, FILE* bin) {
  Block blocks[6];
  if (out) {
    save_write_int(txt, "crowd_sz", crowd_sz);
    bool ok = crowd_serialize(1, bin);
    world_blocks(blocks);
    for (const Block& b : blocks) ok = fwrite(b.data, 1, b.size, bin) == b.size && ok;
    return ok;
  }
  if (!save_read_count(txt, "crowd_sz", 0, CROWDSZ, &crowd_sz) || !crowd_serialize(0, bin) ||
      !wld_check_members())
    return false;
  world_blocks(blocks);
  for (const Block& b : blocks)
    if (!save_read_block(bin, b.name, b.data, b.size)) return false;
  return wld_check_member_arrays();
}

template <bool (*serialize)(int, FILE*)>
static bool text_section(int out, FILE* txt, FILE*) {
  return serialize(out, txt);
}

typedef bool (*section_fn)(int out, FILE* txt, FILE* bin);

// Everything after the world's own lines, in file order.
static const section_fn sections[] = {
    tracks_section,
    crowd_section,
    cats_serialize,
    text_section<farms_serialize>,
    text_section<bakeries_serialize>,
    text_section<huts_serialize>,
    text_section<taxc_serialize>,
    text_section<food_serialize>,
    text_section<grain_serialize>,
    text_section<buckets_serialize>,
    text_section<sickles_serialize>,
    text_section<plates_serialize>,
    stones_serialize,
};
enum { SECTION_COUNT = sizeof sections / sizeof sections[0] };

// The world's own lines at the top of the text file, checked before anything
// changes.
struct Header {
  double age;
  int dead;
  int32_t queues[TRADECNT];
};

static bool write_world(FILE* txt, FILE* bin) {
  save_write_int(txt, "version", SAVE_VERSION);
  fprintf(txt, "wld_age %lf\n", wld_age);
  save_write_int(txt, "wld_numdead", wld_numdead);
  save_write_header(txt, "spawnqueues");
  save_write_ints(txt, spawnqueues, TRADECNT);
  bool ok = true;
  for (section_fn section : sections) ok = section(1, txt, bin) && ok;
  return ok;
}

static bool read_header(FILE* txt, Header* h) {
  int version;
  if (!save_read_int(txt, "version", &version)) return false;
  if (version != SAVE_VERSION) {
    LOG("ERR Saved game of version %d, this game reads %d; nothing loaded.", version, SAVE_VERSION);
    return false;
  }
  return save_read_double(txt, "wld_age", &h->age) &&
         save_read_count(txt, "wld_numdead", 0, CROWDSZ, &h->dead) &&
         save_skip_header(txt, "spawnqueues") &&
         save_read_ints(txt, "spawnqueues", h->queues, TRADECNT) &&
         wld_check_header(&h->age, h->queues);
}

static void set_header(const Header& h) {
  wld_age = h.age;
  wld_numdead = h.dead;
  memcpy(spawnqueues, h.queues, sizeof spawnqueues);
}

// A taken pair's costs, walls and bodies, always made in this order, so that
// it plays on the same way whichever world ran before. The open-side bits
// follow the rebuilt walls whatever the file held; then every member, dead
// ones included, stands in the space again.
static void rebuild_physics() {
  wld_remove_bodies();
  wld_compute_basecosts(wld_height);
  LOG("Cleared %d wall shapes.", wld_clear_walls());
  LOG("Created %d wall shapes.", wld_create_walls());
  cats_destroy_bodies();
  cats_create_bodies();
  wld_walls_buildings();
  for (int c = 0; c < GRIDCELLS; c++)
    wld_cellflags[c] = (uint8_t)((wld_cellflags[c] & 0xf0) | wld_open_sides(c));
  wld_add_loaded_bodies();
  wld_selected = wld_selectedcat = -1;
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

// The running world, section by section in its saved form, written just
// before a load overwrites that section: a pair refused early costs next to
// nothing, and only what it reached is read back.
struct Kept {
  Header header;
  uint8_t height[GRIDCELLS];  // the terrain for a new game, should reading back fail
  int sections = 0;           // how many are kept
  bool failed = false;        // the running world could not be written
  char* txt = nullptr;
  size_t txtlen = 0;
  char* bin = nullptr;
  size_t binlen = 0;
  FILE* txtout = nullptr;
  FILE* binout = nullptr;
  ~Kept() {
    close();
    free(txt);
    free(bin);
  }
  bool close() {
    bool ok = true;
    if (txtout) ok = fclose(txtout) == 0;
    if (binout) ok = fclose(binout) == 0 && ok;
    txtout = binout = nullptr;
    return ok;
  }
};

static void keep_header(Kept* k) {
  k->header.age = wld_age;
  k->header.dead = wld_numdead;
  memcpy(k->header.queues, spawnqueues, sizeof spawnqueues);
  memcpy(k->height, wld_height, sizeof wld_height);
}

static bool keep_section(Kept* k, int s) {
  if (!k->txtout) {
    k->txtout = open_memstream(&k->txt, &k->txtlen);
    k->binout = open_memstream(&k->bin, &k->binlen);
  }
  bool ok = k->txtout && k->binout && sections[s](1, k->txtout, k->binout) && !ferror(k->txtout) &&
            !ferror(k->binout);
  if (!ok) {
    LOG("ERR The running world could not be kept aside; nothing loaded.");
    k->failed = true;
    return false;
  }
  k->sections = s + 1;
  return true;
}

static bool read_back(Kept* k) {
  set_header(k->header);
  if (!k->close()) return false;
  if (k->sections == 0) return true;
  FILE* txt = fmemopen(k->txt, k->txtlen, "r");
  FILE* bin = fmemopen(k->bin, k->binlen, "r");
  bool ok = txt && bin;
  for (int s = 0; ok && s < k->sections; s++) ok = sections[s](0, txt, bin);
  if (txt) fclose(txt);
  if (bin) fclose(bin);
  return ok;
}

// The running world failed the checks of its own saved form (a body pushed
// far off the site, say): rather than stop the game, a new game starts on
// its terrain, with its office, its first workers and its clock running.
static void fall_back(const Kept* k) {
  LOG("ERR The world before the load could not be put back; a new game starts on its terrain.");
  memcpy(wld_height, k->height, sizeof wld_height);
  mtbe_clear();
  if (!wld_start_new_game()) wld_init();
  wld_age = k->header.age;
}

static bool read_world(const Header& h, FILE* txt, FILE* bin, Kept* kept) {
  set_header(h);
  for (int s = 0; s < SECTION_COUNT; s++)
    if (!keep_section(kept, s) || !sections[s](0, txt, bin)) return false;
  return wld_check_references() && at_end(txt, bin);
}

static bool read_pair(FILE* txt, FILE* bin) {
  Header h;
  if (!read_header(txt, &h)) return false;
  if (!wld_space) {
    LOG("ERR No world to load the saved game into.");
    return false;
  }
  Kept kept;
  keep_header(&kept);
  if (read_world(h, txt, bin, &kept)) {
    rebuild_physics();
    // Whether the game is over is not saved: a lost one was halted, a won
    // one has its pyramid; either comes back over, as play left it.
    wld_completed = stones_pyramid_level == 0;
    wld_gameover = stones_halted() || wld_completed;
    return true;
  }
  if (!kept.failed) LOG("ERR The saved game is damaged; the world stays as it was.");
  if (!read_back(&kept)) fall_back(&kept);
  return false;
}

bool wld_serialize(int out, FILE* txt, FILE* bin) {
  if (!txt || !bin) {
    LOG("ERR No save streams for the world.");
    return false;
  }
  return out ? write_world(txt, bin) : read_pair(txt, bin);
}
