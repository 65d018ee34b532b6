// The game's sound files: effects and themes rendered, then packed to the
// sizes the engine expects.
#include <cstring>

#include "assetgen.h"
#include "sengine_files.h"
#include "sound_synth.h"

bool sound_fx_render(const char* name, int samples, snd_buf& out);
bool sound_music_render(const char* name, int frames, snd_buf& out);

static const sengine_file* find_file(const char* name) {
  for (const sengine_file& f : sengine_fx_files)
    if (strcmp(f.name, name) == 0) return &f;
  for (const sengine_file& f : sengine_music_files)
    if (strcmp(f.name, name) == 0) return &f;
  return nullptr;
}

bool assetgen_is_sound(const char* name) { return find_file(name) != nullptr; }

bool assetgen_sound(const char* name, const char* out) {
  const sengine_file* f = find_file(name);
  if (!f) return false;
  const int pcm = (f->osz - 44) / 2;
  snd_buf samples;
  if (sound_fx_render(name, pcm, samples)) return snd_write_packed(samples, 1, f->osz, f->isz, out);
  if (sound_music_render(name, pcm / 2, samples))
    return snd_write_packed(samples, 2, f->osz, f->isz, out);
  return false;
}
