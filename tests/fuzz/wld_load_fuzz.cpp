// Feeds arbitrary bytes to the saved-game loader as a text and a binary file.
// An input is a little-endian u32 n, then the text file (n bytes, cut to what
// is there), then the binary file. Besides the sanitizers it checks that a
// refused pair leaves the running game exactly as it was, and that a loaded
// one saves and loads again to the same pair and then plays a few frames.
//
// With WLD_FUZZ_WRITE_SEEDS=<folder> in the environment it writes a few valid
// inputs there instead and exits.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "save_game.h"
#include "wld_state.h"
#include "wld_update.h"

static SavePair running;  // the game every input is loaded over

// The mid-game world with four build marks instead of the whole base: each
// refused input costs a load of the running game, and the marks' check is
// the slowest part of it.
static void build_running_game() {
  save_game_build();
  while (nummarks > 4) stones_remove_mark(stones_markcidx[nummarks - 1], 0);
}

static std::string packed(const SavePair& p) {
  uint32_t n = (uint32_t)p.txt.size();
  std::string s((const char*)&n, sizeof n);
  return s + p.txt + p.bin;
}

static void write_seed(const char* dir, const char* name, const SavePair& p) {
  std::string path = std::string(dir) + "/" + name, data = packed(p);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(data.data(), 1, data.size(), f) != data.size()) abort();
  fclose(f);
}

static void write_seeds(const char* dir) {
  save_game_new_world();
  write_seed(dir, "new_world", save_pair_of_world());
  save_game_build();
  write_seed(dir, "mid_game", save_pair_of_world());
  build_running_game();
  write_seed(dir, "few_marks", save_pair_of_world());
  SavePair small = save_pair_of_world();
  small.txt = small.txt.substr(0, small.txt.find("mtbe_numtracks"));  // only the world's own lines
  write_seed(dir, "header_only", small);
}

static void check(bool ok, const char* what) {
  if (ok) return;
  fprintf(stderr, "wld_load_fuzz: %s\n", what);
  abort();
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  if (!freopen("/dev/null", "w", stdout)) return 0;  // the loader logs every refusal
  const char* seeds = getenv("WLD_FUZZ_WRITE_SEEDS");
  if (seeds) {
    write_seeds(seeds);
    exit(0);
  }
  build_running_game();
  running = save_pair_of_world();
  return 0;
}

// The input's two files; the text length is taken modulo what is there.
static SavePair unpacked(const uint8_t* data, size_t size) {
  uint32_t n = 0;
  if (size >= sizeof n) memcpy(&n, data, sizeof n);
  size_t rest = size >= sizeof n ? size - sizeof n : 0;
  const char* body = (const char*)data + (size - rest);
  size_t txtlen = n % (rest + 1);
  return {std::string(body, txtlen), std::string(body + txtlen, rest - txtlen)};
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

// The binary file is over ten times the text's size, yet the text holds most
// of the structure: mutate one file at a time, the text three times in four.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size, unsigned int seed) {
  SavePair p = unpacked(data, size);
  std::string& part = std::minstd_rand(seed)() % 4 ? p.txt : p.bin;
  size_t other = p.txt.size() + p.bin.size() - part.size() + sizeof(uint32_t);
  if (max_size < other + part.size()) return LLVMFuzzerMutate(data, size, max_size);
  size_t used = part.size();
  part.resize(max_size - other);
  part.resize(LLVMFuzzerMutate((uint8_t*)&part[0], used, part.size()));
  std::string out = packed(p);
  memcpy(data, out.data(), out.size());
  return out.size();
}

// Saving the world to compare it costs far more than most refusals, so the
// untouched world is checked for one refused input in 32, picked by the
// input's bytes so that a finding reproduces.
static bool check_refusal(const uint8_t* data, size_t size) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < size; i++) h = (h ^ data[i]) * 16777619u;
  return h % 32 == 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SavePair input = unpacked(data, size);
  if (!save_pair_load(input)) {
    if (check_refusal(data, size))
      check(save_pair_of_world() == running, "a refused pair changed the running game");
    return 0;
  }
  SavePair loaded = save_pair_of_world();
  check(save_pair_load(loaded), "a loaded game cannot load its own save");
  check(save_pair_of_world() == loaded, "a loaded game saves differently after loading again");
  // The game plays on with what it loaded.
  wld_started = 1;
  for (int frame = 0; frame < 5; frame++) wld_update(8, 8 / 240.0);
  check(save_pair_load(running), "the running game cannot be loaded back");
  return 0;
}
