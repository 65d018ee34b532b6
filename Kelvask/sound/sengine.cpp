#include "sengine.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alut.h>

#include <cfloat>
#include <cstdlib>
#include <cstring>

#include "kv.h"
#include "log.h"
#include "notify.h"

int32_t sengine_flags = SENGINE_MUSIC_BIT | SENGINE_FX_BIT;
int32_t sengine_track = -1;
bool sengine_up = false;
const char* sengine_dir = SENGINE_DIR;

static ALCdevice* sengine_device;
static ALCcontext* sengine_context;
static ALuint sengine_musicsrc[SENGINE_TRACKS];
static ALuint sengine_fxsrc[SENGINE_FXCOUNT][SENGINE_VOICES];
// Squared listener distance of the position each voice last started at.
static float sengine_fxdist[SENGINE_FXCOUNT][SENGINE_VOICES];

static bool open_device() {
  const ALCchar* name = alcGetString(nullptr, ALC_DEFAULT_DEVICE_SPECIFIER);
  if (!name) {
    LOG("ERR Could not get ALC_DEFAULT_DEVICE_SPECIFIER");
    return false;
  }
  sengine_device = alcOpenDevice(name);
  if (!sengine_device) {
    LOG("ERR Could not alcOpenDevice(\"%s\")", name);
    return false;
  }
  LOG("Using OpenAL device '%s'", name);
  const ALCint attrs[] = {ALC_FREQUENCY, 44100, 0};
  sengine_context = alcCreateContext(sengine_device, attrs);
  if (!sengine_context) {
    LOG("ERR alcCreateContext() failed");
    return false;
  }
  if (!alcMakeContextCurrent(sengine_context)) {
    LOG("ERR alcMakeContextCurrent() failed");
    return false;
  }
  if (!alutInitWithoutContext(nullptr, nullptr)) {
    LOG("ERR alutInitWithoutContext() failed.");
    return false;
  }
  return true;
}

// A failed set-up gives back what it took, so nothing stays open while down.
static void close_device() {
  if (sengine_context) {
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(sengine_context);
  }
  if (sengine_device) alcCloseDevice(sengine_device);
  sengine_context = nullptr;
  sengine_device = nullptr;
}

static void make_music() {
  ALuint buf[SENGINE_TRACKS];
  for (int t = 0; t < SENGINE_TRACKS; t++) {
    const sengine_file& f = sengine_music_files[t];
    buf[t] = sengine_load_buffer(f.name, f.isz, f.osz);
  }
  LOG("Music buffers created.");
  alGenSources(SENGINE_TRACKS, sengine_musicsrc);
  sengine_check_al_error();
  for (int t = 0; t < SENGINE_TRACKS; t++) {
    alSourcei(sengine_musicsrc[t], AL_BUFFER, buf[t]);
    alSourcei(sengine_musicsrc[t], AL_LOOPING, 1);
    alSourcef(sengine_musicsrc[t], AL_MAX_GAIN, sengine_music_files[t].maxgain);
    sengine_check_al_error();
  }
}

static void make_effects() {
  for (int e = 0; e < SENGINE_FXCOUNT; e++) {
    const sengine_file& f = sengine_fx_files[e];
    const ALuint buf = sengine_load_buffer(f.name, f.isz, f.osz);
    alGenSources(SENGINE_VOICES, sengine_fxsrc[e]);
    sengine_check_al_error();
    for (ALuint src : sengine_fxsrc[e]) {
      alSourcei(src, AL_BUFFER, buf);
      alSourcei(src, AL_LOOPING, 0);
      // Each voice keeps its own pitch, so repeats of an effect differ a little.
      alSourcef(src, AL_PITCH, 1.0f + (rand() & 127) * 0.16f / 127);
      alSourcef(src, AL_MAX_GAIN, f.maxgain);
      alSourcef(src, AL_REFERENCE_DISTANCE, 40);
      alSourcef(src, AL_MAX_DISTANCE, 175);
      alSourcef(src, AL_ROLLOFF_FACTOR, 16);
      sengine_check_al_error();
    }
  }
}

void sengine_init() {
  if (!open_device()) {
    close_device();
    return;
  }
  LOG("Using ALUT %d.%d", alutGetMajorVersion(), alutGetMinorVersion());
  LOG("AL_VENDOR %s", alGetString(AL_VENDOR));
  LOG("AL_RENDERER %s", alGetString(AL_RENDERER));
  LOG("AL_VERSION %s", alGetString(AL_VERSION));
  make_music();
  make_effects();
  alDistanceModel(AL_INVERSE_DISTANCE);
  sengine_check_al_error();
  sengine_up = true;
}

void sengine_exit() {
  if (!sengine_up) return;
  alDeleteSources(SENGINE_TRACKS, sengine_musicsrc);
  sengine_check_al_error();
  for (int e = 0; e < SENGINE_FXCOUNT; e++) alDeleteSources(SENGINE_VOICES, sengine_fxsrc[e]);
  sengine_check_al_error();
  if (!alutExit()) LOG("ERR alutExit() failed");
  close_device();
  sengine_up = false;
  sengine_track = -1;
}

void sengine_reset() {
  sengine_exit();
  sengine_flags = SENGINE_MUSIC_BIT | SENGINE_FX_BIT;
  sengine_track = -1;
  sengine_dir = SENGINE_DIR;
  memset(sengine_musicsrc, 0, sizeof sengine_musicsrc);
  memset(sengine_fxsrc, 0, sizeof sengine_fxsrc);
  memset(sengine_fxdist, 0, sizeof sengine_fxdist);
}

void sengine_play_music(int track) {
  if (track < 0 || track >= SENGINE_TRACKS) {
    LOG("ERR No music track %d", track);
    return;
  }
  const bool on = sengine_flags & SENGINE_MUSIC_BIT;
  if (track == sengine_track && on) {
    LOG("ERR Already playing music track %d", track);
    return;
  }
  if (!sengine_up) return;
  if (sengine_track >= 0) {
    alSourceStop(sengine_musicsrc[sengine_track]);
    sengine_check_al_error();
    sengine_track = -1;
  }
  if (!on) return;
  alSourcePlay(sengine_musicsrc[track]);
  sengine_check_al_error();
  sengine_track = track;
}

// The voice to start for a sound at squared distance d: the first idle one,
// else the farthest playing one unless the new sound is farther still.
static int pick_voice(int e, float d) {
  int far = 0;
  for (int v = 0; v < SENGINE_VOICES; v++) {
    ALint state = AL_STOPPED;
    alGetSourcei(sengine_fxsrc[e][v], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING) return v;
    if (sengine_fxdist[e][v] > sengine_fxdist[e][far]) far = v;
  }
  return d > sengine_fxdist[e][far] ? -1 : far;
}

bool sengine_play_fx(int e, const float p[3]) {
  if (!sengine_up || e < 0 || e >= SENGINE_FXCOUNT) return false;
  ALfloat l[3];
  alGetListenerfv(AL_POSITION, l);
  const float d =
      (p[0] - l[0]) * (p[0] - l[0]) + (p[1] - l[1]) * (p[1] - l[1]) + (p[2] - l[2]) * (p[2] - l[2]);
  const int v = pick_voice(e, d);
  if (v < 0) return false;
  sengine_fxdist[e][v] = d;
  alSourcefv(sengine_fxsrc[e][v], AL_POSITION, p);
  sengine_check_al_error();
  alSourcePlay(sengine_fxsrc[e][v]);
  sengine_check_al_error();
  return true;
}

void sengine_set_listener(const float vel[3], const float m[16]) {
  if (!sengine_up) return;
  alListenerfv(AL_POSITION, m + 12);
  sengine_check_al_error();
  alListenerfv(AL_VELOCITY, vel);
  sengine_check_al_error();
  const ALfloat orient[6] = {-m[8], -m[9], -m[10], m[4], m[5], m[6]};
  alListenerfv(AL_ORIENTATION, orient);
  sengine_check_al_error();
}

void sengine_read_music_setting() {
  const int on = kv_setting(KV_MUSIC);
  sengine_flags = (sengine_flags & SENGINE_FX_BIT) | on;
}

void sengine_on_musicsetting(const char* text) {
  sengine_read_music_setting();
  sengine_play_music(1);
}

void sengine_on_playfx(const char* text) {
  if (!(sengine_flags & SENGINE_FX_BIT)) return;
  const float p[3] = {notify_float(text, "x"), notify_float(text, "y"), notify_float(text, "z")};
  char name[NOTIFY_STRING_SZ];
  notify_string(text, "nm", name);
  for (int e = 0; e < SENGINE_FXCOUNT; e++)
    if (strcmp(name, sengine_fx_files[e].name) == 0) {
      sengine_play_fx(e, p);
      return;
    }
  LOG("ERR Unknown fx '%s'", name);
}

uint32_t sengine_voice_source(int e, int v) { return sengine_fxsrc[e][v]; }
float sengine_voice_distance(int e, int v) { return sengine_fxdist[e][v]; }
uint32_t sengine_music_source(int track) { return sengine_musicsrc[track]; }
