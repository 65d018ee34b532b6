#include "sound_synth.h"

#include <algorithm>

snd_biquad snd_filter(snd_filter_kind kind, float freq, float q) {
  const float w = 2.0f * SND_PI * freq / SND_RATE;
  const float c = cosf(w), alpha = sinf(w) / (2.0f * q);
  float b0, b1, b2;
  switch (kind) {
    case SND_LOWPASS:
      b0 = b2 = (1 - c) / 2, b1 = 1 - c;
      break;
    case SND_HIGHPASS:
      b0 = b2 = (1 + c) / 2, b1 = -(1 + c);
      break;
    default:
      b0 = alpha, b1 = 0, b2 = -alpha;
      break;
  }
  const float a0 = 1 + alpha;
  return snd_biquad{b0 / a0, b1 / a0, b2 / a0, -2 * c / a0, (1 - alpha) / a0, 0, 0, 0, 0};
}

static int first_sample(float t) { return std::max(0, (int)(t * SND_RATE)); }

void snd_chirp(snd_buf& out, float t0, float f0, float f1, float dur, float amp) {
  const int s0 = first_sample(t0), n = (int)(dur * SND_RATE);
  float phase = 0;
  for (int k = 0; k < n && s0 + k < (int)out.size(); k++) {
    const float u = (float)k / n;
    phase += 2 * SND_PI * (f0 + (f1 - f0) * u) / SND_RATE;
    // A few milliseconds of attack keep the onset from clicking.
    const float a = std::min(1.0f, k / (0.002f * SND_RATE)) * expf(-4.0f * u);
    out[s0 + k] += amp * a * sinf(phase);
  }
}

void snd_noise_burst(snd_buf& out, snd_rng& rng, float t0, float dur, float attack, float decay,
                     snd_filter_kind kind, float freq, float q, float amp) {
  snd_biquad f = snd_filter(kind, freq, q);
  const int s0 = first_sample(t0), n = (int)(dur * SND_RATE);
  for (int k = 0; k < n && s0 + k < (int)out.size(); k++) {
    const float t = (float)k / SND_RATE;
    // Fade the last tenth so a burst cut short does not click.
    const float tail = std::min(1.0f, (n - k) / (0.1f * n + 1));
    out[s0 + k] += amp * snd_env(t, attack, decay) * tail * f.run(rng.noise());
  }
}

void snd_scatter_ticks(snd_buf& out, snd_rng& rng, float t0, float dur, float d0, float d1,
                       float flo, float fhi, float tick, float amp) {
  for (float t = 0; t < dur;) {
    const float u = t / dur, density = d0 + (d1 - d0) * u;
    if (density <= 0) break;
    // Poisson arrivals: exponential gaps at the current density.
    t += -logf(1.0f - rng.uni()) / density;
    const float f = rng.range(flo, fhi);
    snd_chirp(out, t0 + t, f, f * rng.range(0.8f, 1.0f), tick * rng.range(0.5f, 1.5f),
              amp * rng.range(0.2f, 1.0f) * (rng.uni() < 0.5f ? -1 : 1));
  }
}

void snd_normalize(snd_buf& b, float peak) {
  float m = 1e-9f;
  for (float v : b) m = std::max(m, fabsf(v));
  for (float& v : b) v *= peak / m;
}

static void add_stereo(snd_buf& st, long frame, float v, float pan) {
  const long frames = (long)st.size() / 2;
  const long i = ((frame % frames) + frames) % frames;
  st[2 * i] += v * cosf(pan * SND_PI / 2);
  st[2 * i + 1] += v * sinf(pan * SND_PI / 2);
}

void snd_pluck(snd_buf& st, snd_rng& rng, double t0, float freq, float dur, float amp, float pan,
               float bright) {
  const int period = std::max(2, (int)lroundf(SND_RATE / freq));
  std::vector<float> line(period);
  for (float& v : line) v = rng.noise();
  // Soften the excitation: duller strings start with fewer high partials.
  for (int pass = 0; pass < (int)((1 - bright) * 4); pass++)
    for (int k = 1; k < period; k++) line[k] = 0.5f * (line[k] + line[k - 1]);
  const long s0 = (long)(t0 * SND_RATE);
  const int n = (int)((dur + 1.5f) * SND_RATE), held = (int)(dur * SND_RATE);
  float prev = 0;
  for (int k = 0; k < n; k++) {
    const int i = k % period;
    const float v = line[i];
    // The string loses energy faster once the note is released (damped).
    const float loss = k < held ? 0.4985f : 0.47f;
    line[i] = loss * (v + prev);
    prev = v;
    const float fade = k > n - 2000 ? (n - k) / 2000.0f : 1.0f;
    add_stereo(st, s0 + k, amp * v * fade, pan);
  }
}

void snd_flute(snd_buf& st, snd_rng& rng, double t0, float freq, float dur, float amp, float pan) {
  const long s0 = (long)(t0 * SND_RATE);
  const int n = (int)((dur + 0.15f) * SND_RATE);
  snd_biquad breath = snd_filter(SND_BANDPASS, freq * 2, 2.0f);
  float phase = 0;
  for (int k = 0; k < n; k++) {
    const float t = (float)k / SND_RATE;
    // Vibrato grows in after the attack, as a player's would.
    const float vib = 1 + 0.006f * std::min(1.0f, t / 0.4f) * sinf(2 * SND_PI * 5.2f * t);
    phase += 2 * SND_PI * freq * vib / SND_RATE;
    float e = std::min(1.0f, t / 0.06f);
    if (t > dur) e *= expf(-(t - dur) / 0.04f);
    const float tone = sinf(phase) + 0.25f * sinf(2 * phase) + 0.08f * sinf(3 * phase);
    add_stereo(st, s0 + k, amp * e * (tone + 0.35f * breath.run(rng.noise())), pan);
  }
}

void snd_pad(snd_buf& st, double t0, float freq, float dur, float amp, float pan) {
  const long s0 = (long)(t0 * SND_RATE);
  const int n = (int)((dur + 0.8f) * SND_RATE);
  for (int k = 0; k < n; k++) {
    const float t = (float)k / SND_RATE;
    float e = std::min(1.0f, t / 0.5f);
    if (t > dur) e *= expf(-(t - dur) / 0.25f);
    float v = 0;
    for (int h = 1; h <= 6; h++)
      for (float detune : {0.997f, 1.003f})
        v += sinf(2 * SND_PI * freq * h * detune * t + h) / powf((float)h, 1.4f);
    add_stereo(st, s0 + k, amp * e * v, pan);
  }
}

void snd_drum(snd_buf& st, snd_rng& rng, double t0, snd_stroke stroke, float amp, float pan) {
  const long s0 = (long)(t0 * SND_RATE);
  const int n = (int)(0.4f * SND_RATE);
  snd_biquad skin = snd_filter(SND_BANDPASS, stroke == SND_TEK ? 3200.0f : 1800.0f, 1.2f);
  float phase = 0;
  for (int k = 0; k < n; k++) {
    const float t = (float)k / SND_RATE;
    float v;
    if (stroke == SND_DUM) {
      phase += 2 * SND_PI * (70 + 60 * expf(-t / 0.02f)) / SND_RATE;
      v = sinf(phase) * snd_env(t, 0.002f, 0.16f) + 0.2f * skin.run(rng.noise()) * expf(-t / 0.01f);
    } else {
      phase += 2 * SND_PI * (stroke == SND_TEK ? 420.0f : 330.0f) / SND_RATE;
      const float d = stroke == SND_TEK ? 0.05f : 0.03f;
      v = (skin.run(rng.noise()) * 1.5f + 0.3f * sinf(phase)) * snd_env(t, 0.001f, d);
    }
    add_stereo(st, s0 + k, amp * v, pan);
  }
}

// Comb and all-pass delays of a small stone hall, in samples.
static const int room_combs[4] = {1557, 1617, 1491, 1422};
static const int room_allpass[2] = {225, 556};

void snd_room(snd_buf& st, float wet) {
  const long frames = (long)st.size() / 2;
  snd_buf dry = st;
  for (int ch = 0; ch < 2; ch++) {
    std::vector<std::vector<float>> comb, ap;
    for (int d : room_combs) comb.emplace_back(d + 23 * ch, 0.0f);
    for (int d : room_allpass) ap.emplace_back(d + 11 * ch, 0.0f);
    std::vector<float> damp(4, 0.0f);
    std::vector<size_t> ci(4, 0), ai(2, 0);
    // The first pass fills the delays from the loop's end, the second writes.
    for (int pass = 0; pass < 2; pass++)
      for (long f = 0; f < frames; f++) {
        const float in = dry[2 * f + ch] * 0.2f;
        float v = 0;
        for (int c = 0; c < 4; c++) {
          float& slot = comb[c][ci[c]];
          damp[c] = slot * 0.7f + damp[c] * 0.3f;
          v += slot;
          slot = in + damp[c] * 0.8f;
          ci[c] = (ci[c] + 1) % comb[c].size();
        }
        for (int a = 0; a < 2; a++) {
          float& slot = ap[a][ai[a]];
          const float o = slot - v;
          slot = v + slot * 0.5f;
          v = o;
          ai[a] = (ai[a] + 1) % ap[a].size();
        }
        if (pass == 1) st[2 * f + ch] = dry[2 * f + ch] + wet * v;
      }
  }
}
