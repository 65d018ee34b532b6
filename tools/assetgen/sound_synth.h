// Small synthesis kit for the generated sounds: noise, filters, envelopes,
// plucked strings and a room. Everything is seeded, so builds are identical.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#define SND_RATE 44100
static const float SND_PI = 3.14159265f;

struct snd_rng {
  uint32_t s;
  uint32_t next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return s;
  }
  float uni() { return (next() >> 8) * (1.0f / 16777216.0f); }  // [0, 1)
  float noise() { return 2.0f * uni() - 1.0f; }                 // [-1, 1)
  float range(float lo, float hi) { return lo + (hi - lo) * uni(); }
};

// Second-order filter (cookbook biquad).
struct snd_biquad {
  float b0, b1, b2, a1, a2, x1, x2, y1, y2;
  float run(float x) {
    const float y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x;
    y2 = y1;
    y1 = y;
    return y;
  }
};
enum snd_filter_kind { SND_LOWPASS, SND_HIGHPASS, SND_BANDPASS };
snd_biquad snd_filter(snd_filter_kind kind, float freq, float q);

// Exponential decay after a linear attack, both in seconds.
inline float snd_env(float t, float attack, float decay) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return expf(-(t - attack) / decay);
}

// Mono buffers are one float per sample; stereo ones interleave left, right.
typedef std::vector<float> snd_buf;

// A decaying sine burst whose pitch glides from f0 to f1 (a bubble, a thump,
// a grain's tick), added to a mono buffer from time t0.
void snd_chirp(snd_buf& out, float t0, float f0, float f1, float dur, float amp);
// Noise through a band filter with an attack/decay envelope, added from t0.
void snd_noise_burst(snd_buf& out, snd_rng& rng, float t0, float dur, float attack, float decay,
                     snd_filter_kind kind, float freq, float q, float amp);
// Many short ticks scattered over [t0, t0 + dur) with a density (per second)
// that fades linearly from d0 to d1.
void snd_scatter_ticks(snd_buf& out, snd_rng& rng, float t0, float dur, float d0, float d1,
                       float flo, float fhi, float tick, float amp);
// Scales the buffer to the given peak.
void snd_normalize(snd_buf& b, float peak);

// Plucked string (Karplus-Strong) added to a stereo loop buffer; tails wrap.
void snd_pluck(snd_buf& st, snd_rng& rng, double t0, float freq, float dur, float amp, float pan,
               float bright);
// Breathy reed flute with vibrato, into a stereo loop buffer.
void snd_flute(snd_buf& st, snd_rng& rng, double t0, float freq, float dur, float amp, float pan);
// Soft sustained chord tone with a slow swell.
void snd_pad(snd_buf& st, double t0, float freq, float dur, float amp, float pan);
// Frame drum strokes: the deep centre "dum", the rim "tek" and the light "ka".
enum snd_stroke { SND_DUM, SND_TEK, SND_KA };
void snd_drum(snd_buf& st, snd_rng& rng, double t0, snd_stroke stroke, float amp, float pan);
// A room around a stereo loop buffer; run twice so the loop point is seamless.
void snd_room(snd_buf& st, float wet);

inline float snd_midi_hz(float note) { return 440.0f * powf(2.0f, (note - 69.0f) / 12.0f); }

// Writes 16-bit PCM as a WAV image of exactly `size` bytes (samples beyond
// the buffer are silence) and packs it into a zlib stream of exactly `packed`
// bytes at `out`; false when the sizes cannot be met or the file not written.
bool snd_write_packed(const snd_buf& samples, int channels, int size, int packed, const char* out);
