// Sound engine: nine positional effects of four voices each and two looping
// music tracks through OpenAL. Driven by "playfx" and "musicsetting" on the
// bus; the controller calls it for set-up, music and the listener.
#pragma once
#include <cstdint>

#include "sengine_files.h"

#define SENGINE_VOICES 4
#define SENGINE_MUSIC_BIT 1
#define SENGINE_FX_BIT 2

extern int32_t sengine_flags;  // bit 0 music on, bit 1 effects on; starts at 3
extern int32_t sengine_track;  // the track playing, -1 none
extern bool sengine_up;        // set only when the whole set-up succeeded
// Folder of the sound files; tests point it elsewhere.
extern const char* sengine_dir;

void sengine_init();
void sengine_exit();
// sengine_exit (sources, context and device released), then the flags,
// track and sound folder as a fresh process has them.
void sengine_reset();
// Track 0 the game's, 1 the menus'.
void sengine_play_music(int track);
// Effect e at p (world units); false when nothing played.
bool sengine_play_fx(int e, const float p[3]);
// Camera-to-world matrix, column-major; at is minus its third column.
void sengine_set_listener(const float vel[3], const float camera[16]);
// Music bit from the music setting as the menu shows it, effects bit kept.
void sengine_read_music_setting();

void sengine_on_playfx(const char* text);
void sengine_on_musicsetting(const char* text);

// Loads one sound file into a new buffer; a bad file is an assertion.
uint32_t sengine_load_buffer(const char* name, int32_t isz, int32_t osz);
void sengine_check_al_error();
void sengine_check_alut_error();
// The name of an OpenAL error code ("AL_INVALID_VALUE").
const char* sengine_al_error_text(int code);

// Inspection for the tests: voice v of effect e.
uint32_t sengine_voice_source(int e, int v);
float sengine_voice_distance(int e, int v);
uint32_t sengine_music_source(int track);
