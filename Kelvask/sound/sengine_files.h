// The sound files the engine loads: name, inflated size, compressed size and
// the source's maximum gain. The asset generator makes files of exactly these
// sizes, and the engine refuses any other.
#pragma once
#include <cstdint>

struct sengine_file {
  const char* name;
  int32_t osz;  // the sound file image after inflating
  int32_t isz;  // the file on disk: one zlib stream
  float maxgain;
};

#define SENGINE_FXCOUNT 9
#define SENGINE_TRACKS 2
#define SENGINE_DIR "./Sounds"

// Indexed by effect number.
static const sengine_file sengine_fx_files[SENGINE_FXCOUNT] = {
    {"waterpickup", 190532, 138226, 1.0f}, {"waterdrop", 258214, 196660, 1.4f},
    {"grainpickup", 169400, 129986, 1.0f}, {"graindrop", 81218, 65503, 0.24f},
    {"foodpickup", 124178, 90279, 1.0f},   {"fooddrop", 70288, 47306, 2.0f},
    {"stonepickup", 138892, 113714, 1.0f}, {"stonedrop", 78824, 59384, 1.0f},
    {"meow", 86874, 70832, 1.0f},
};

// Track 0 plays during the game, track 1 on the menus; both loop.
static const sengine_file sengine_music_files[SENGINE_TRACKS] = {
    {"maintheme", 9007704, 8754350, 0.25f},
    {"menutheme", 5565760, 5290475, 0.6f},
};
