// The nine effects, mono at 44.1 kHz, each drawn from physical sketches:
// bubbles for water, swarms of ticks for grain and crust, pitch-falling
// thumps for weight, a formant-shaped voice for the cat.
#include <algorithm>
#include <cstring>

#include "sound_synth.h"

// Rising-pitch decaying sines: the ring of an air bubble leaving water.
static void bubbles(snd_buf& b, snd_rng& r, float t0, float dur, int count, float flo, float fhi,
                    float amp) {
  for (int i = 0; i < count; i++) {
    const float f = r.range(flo, fhi);
    snd_chirp(b, t0 + r.uni() * dur, f, f * r.range(1.3f, 1.9f), r.range(0.02f, 0.07f),
              amp * r.range(0.3f, 1.0f));
  }
}

// A heavy object meeting the ground: a thump falling in pitch, a click and grit.
static void impact(snd_buf& b, snd_rng& r, float t0, float f, float weight, float amp) {
  snd_chirp(b, t0, f * 2.2f, f, 0.12f + 0.25f * weight, amp);
  snd_noise_burst(b, r, t0, 0.01f, 0.0005f, 0.003f, SND_LOWPASS, 3000, 0.7f, amp * 0.5f);
  snd_noise_burst(b, r, t0, 0.25f, 0.002f, 0.05f, SND_LOWPASS, 900 + 600 * (1 - weight), 0.7f,
                  amp * 0.6f);
}

// The bucket dips: a splash, sloshing with bubbles, drips falling back.
static void waterpickup(snd_buf& b, snd_rng& r) {
  snd_noise_burst(b, r, 0.02f, 0.3f, 0.004f, 0.08f, SND_BANDPASS, 900, 0.6f, 0.9f);
  snd_noise_burst(b, r, 0.05f, 1.1f, 0.2f, 0.35f, SND_BANDPASS, 500, 1.5f, 0.35f);
  bubbles(b, r, 0.05f, 0.9f, 45, 250, 900, 0.5f);
  bubbles(b, r, 1.0f, 0.9f, 7, 1400, 2400, 0.25f);
}

// Water poured onto a field: a steady stream, gurgles, then the last splashes.
static void waterdrop(snd_buf& b, snd_rng& r) {
  snd_noise_burst(b, r, 0.0f, 1.8f, 0.12f, 0.6f, SND_BANDPASS, 1600, 0.5f, 0.5f);
  snd_noise_burst(b, r, 0.0f, 1.8f, 0.15f, 0.5f, SND_LOWPASS, 500, 0.7f, 0.4f);
  bubbles(b, r, 0.05f, 1.5f, 110, 350, 1600, 0.35f);
  bubbles(b, r, 0.1f, 1.4f, 25, 150, 300, 0.45f);
  bubbles(b, r, 1.6f, 0.6f, 6, 1200, 2200, 0.2f);
}

// A sickle-load of grain swept up: a dense rustle, then kernels trickling off.
static void grainpickup(snd_buf& b, snd_rng& r) {
  snd_scatter_ticks(b, r, 0.0f, 0.45f, 2500, 1800, 2000, 7000, 0.004f, 0.35f);
  snd_scatter_ticks(b, r, 0.45f, 0.9f, 900, 30, 2500, 7000, 0.003f, 0.3f);
  snd_noise_burst(b, r, 0.0f, 0.6f, 0.05f, 0.2f, SND_HIGHPASS, 3000, 0.7f, 0.15f);
}

// Grain poured into the bakery's bin: a short cascade ending on the heap.
static void graindrop(snd_buf& b, snd_rng& r) {
  snd_scatter_ticks(b, r, 0.02f, 0.5f, 3500, 400, 1500, 5000, 0.004f, 0.35f);
  snd_noise_burst(b, r, 0.02f, 0.5f, 0.03f, 0.18f, SND_BANDPASS, 2500, 0.6f, 0.25f);
  snd_chirp(b, 0.02f, 160, 90, 0.15f, 0.35f);
}

// A loaf lifted from the oven shelf: a crust crackling under the fingers.
static void foodpickup(snd_buf& b, snd_rng& r) {
  snd_scatter_ticks(b, r, 0.0f, 0.35f, 500, 150, 900, 3000, 0.006f, 0.6f);
  snd_scatter_ticks(b, r, 0.35f, 0.35f, 150, 0, 800, 2500, 0.006f, 0.4f);
  snd_noise_burst(b, r, 0.0f, 0.5f, 0.02f, 0.15f, SND_BANDPASS, 1800, 0.8f, 0.2f);
  snd_chirp(b, 0.0f, 180, 120, 0.08f, 0.3f);
}

// Bread set on a clay plate: a soft thud, the plate's short ring, crumbs.
static void fooddrop(snd_buf& b, snd_rng& r) {
  snd_chirp(b, 0.0f, 200, 110, 0.12f, 0.8f);
  snd_noise_burst(b, r, 0.0f, 0.08f, 0.002f, 0.02f, SND_LOWPASS, 1500, 0.7f, 0.4f);
  for (float f : {1870.0f, 3020.0f, 4410.0f}) snd_chirp(b, 0.003f, f, f * 0.995f, 0.22f, 0.12f);
  snd_scatter_ticks(b, r, 0.05f, 0.2f, 200, 0, 1500, 4000, 0.003f, 0.2f);
}

// A sandstone block dragged and heaved up: grinding, grit, a last bump.
static void stonepickup(snd_buf& b, snd_rng& r) {
  snd_biquad slow = snd_filter(SND_LOWPASS, 12, 0.7f), grind = snd_filter(SND_LOWPASS, 700, 0.8f);
  const int n = (int)(0.75f * SND_RATE);
  for (int k = 0; k < n; k++) {
    const float u = (float)k / n, wobble = 0.5f + 12.0f * fabsf(slow.run(r.noise()));
    b[k] += 0.9f * std::min(1.0f, u * 8) * (1 - u) * wobble * grind.run(r.noise());
  }
  snd_scatter_ticks(b, r, 0.05f, 0.7f, 120, 40, 1500, 4000, 0.004f, 0.25f);
  impact(b, r, 0.82f, 75, 0.4f, 0.5f);
}

// A block set down on stone: one heavy thud.
static void stonedrop(snd_buf& b, snd_rng& r) {
  impact(b, r, 0.0f, 55, 1.0f, 1.0f);
  snd_scatter_ticks(b, r, 0.03f, 0.25f, 150, 0, 1200, 3500, 0.004f, 0.2f);
}

// "Mee-ow": harmonics of a gliding voice shaped by moving formants, from a
// closed "ee" through an open "a" to a rounded "oo".
static void meow(snd_buf& b, snd_rng& r) {
  const float dur = 0.72f;
  const int n = (int)(dur * SND_RATE);
  float phase = 0;
  snd_biquad breath = snd_filter(SND_BANDPASS, 3000, 1.0f);
  for (int k = 0; k < n; k++) {
    const float u = (float)k / n, t = (float)k / SND_RATE;
    const float f0 = (520 + 330 * sinf(SND_PI * powf(u, 0.6f)) - 120 * u) *
                     (1 + 0.012f * sinf(2 * SND_PI * 6 * t));
    phase += 2 * SND_PI * f0 / SND_RATE;
    const float open = sinf(SND_PI * std::min(1.0f, u * 1.3f));
    const float f1 = 350 + 550 * open, f2 = 2300 - 1500 * u, f3 = 3000;
    float v = 0;
    for (int h = 1; h * f0 < 9000; h++) {
      const float fh = h * f0;
      const float w = expf(-powf((fh - f1) / 180, 2)) + 0.7f * expf(-powf((fh - f2) / 250, 2)) +
                      0.3f * expf(-powf((fh - f3) / 350, 2)) + 0.15f / h;
      v += w * sinf(h * phase);
    }
    const float e = std::min(1.0f, t / 0.05f) * std::min(1.0f, (dur - t) / 0.2f);
    b[k] += e * (0.3f * v + 0.05f * breath.run(r.noise()));
  }
}

struct fx_maker {
  const char* name;
  void (*make)(snd_buf&, snd_rng&);
};
static const fx_maker fx_makers[] = {
    {"waterpickup", waterpickup}, {"waterdrop", waterdrop},   {"grainpickup", grainpickup},
    {"graindrop", graindrop},     {"foodpickup", foodpickup}, {"fooddrop", fooddrop},
    {"stonepickup", stonepickup}, {"stonedrop", stonedrop},   {"meow", meow},
};

bool sound_fx_render(const char* name, int samples, snd_buf& out) {
  for (unsigned i = 0; i < sizeof fx_makers / sizeof fx_makers[0]; i++) {
    if (strcmp(fx_makers[i].name, name) != 0) continue;
    out.assign(samples, 0.0f);
    snd_rng rng{0x9e3779b9u + 7919u * i};
    fx_makers[i].make(out, rng);
    snd_normalize(out, 0.9f);
    return true;
  }
  return false;
}
