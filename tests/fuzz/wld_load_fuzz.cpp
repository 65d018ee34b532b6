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
// Fixed buffers twice its size for saving the world to compare: a growing
// stream's reallocations cost more under the sanitizers than the writing. A
// save that outgrows them differs anyway.
static std::string txtroom, binroom;

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
  txtroom.resize(2 * running.txt.size());
  binroom.resize(2 * running.bin.size());
  return 0;
}

// The input's two files, read in place; the text length is taken modulo what
// is there.
struct Files {
  const char* txt;
  size_t txtlen;
  const char* bin;
  size_t binlen;
};

static Files files_of(const uint8_t* data, size_t size) {
  uint32_t n = 0;
  if (size >= sizeof n) memcpy(&n, data, sizeof n);
  size_t rest = size >= sizeof n ? size - sizeof n : 0;
  const char* body = (const char*)data + (size - rest);
  size_t txtlen = n % (rest + 1);
  return {body, txtlen, body + txtlen, rest - txtlen};
}

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t max_size);

// The binary file is over ten times the text's size, yet the text holds most
// of the structure: mutate one file at a time, the text three times in four.
// Done in place: the binary file waits at the end of the buffer while the
// text grows or shrinks before it.
extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t max_size,
                                          unsigned int seed) {
  if (size < sizeof(uint32_t) || max_size <= sizeof(uint32_t) || max_size < size)
    return LLVMFuzzerMutate(data, size, max_size);
  Files f = files_of(data, size);
  uint8_t* txt = data + sizeof(uint32_t);
  size_t room = max_size - sizeof(uint32_t), txtlen = f.txtlen, binlen = f.binlen;
  bool text = std::minstd_rand(seed)() % 4 != 0;
  if (text ? room == binlen : room == txtlen) text = !text;  // a file with no room to mutate in
  if (text) {
    memmove(data + max_size - binlen, f.bin, binlen);
    txtlen = LLVMFuzzerMutate(txt, txtlen, room - binlen);
    memmove(txt + txtlen, data + max_size - binlen, binlen);
  } else {
    binlen = LLVMFuzzerMutate(txt + txtlen, binlen, room - txtlen);
  }
  uint32_t n = (uint32_t)txtlen;
  memcpy(data, &n, sizeof n);
  return sizeof n + txtlen + binlen;
}

// Whether saving the world now gives exactly p.
static bool world_saves_as(const SavePair& p) {
  FILE* t = fmemopen(&txtroom[0], txtroom.size(), "w");
  FILE* b = fmemopen(&binroom[0], binroom.size(), "w");
  check(t && b, "no memory streams to save the world into");
  bool ok = wld_serialize(1, t, b) && fflush(t) == 0 && fflush(b) == 0 &&
            (size_t)ftell(t) == p.txt.size() && (size_t)ftell(b) == p.bin.size() &&
            memcmp(txtroom.data(), p.txt.data(), p.txt.size()) == 0 &&
            memcmp(binroom.data(), p.bin.data(), p.bin.size()) == 0;
  fclose(t);
  fclose(b);
  return ok;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Files in = files_of(data, size);
  if (!save_files_load(in.txt, in.txtlen, in.bin, in.binlen)) {
    check(world_saves_as(running), "a refused pair changed the running game");
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
