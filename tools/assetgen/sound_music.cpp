// The two themes, stereo at 44.1 kHz, written in D hijaz (D Eb F# G A Bb C):
// an oud-like plucked melody and a reed flute over a drone pad, a plucked
// bass and a frame drum in the maqsum rhythm. Each track is a whole number
// of bars long and loops with only a short dip through silence.
#include <algorithm>
#include <cstring>

#include "sound_synth.h"

static const int hijaz[7] = {0, 1, 4, 5, 7, 8, 10};
static const float REST = -99;

// Scale degree (0 = D4, 7 = D5, negative below) to a frequency.
static float degree_hz(int deg) {
  const int oct = deg >= 0 ? deg / 7 : -((-deg + 6) / 7);
  return snd_midi_hz(62.0f + 12.0f * oct + hijaz[deg - 7 * oct]);
}

struct note {
  float deg;
  float beats;
};

// Eight bars each; the first phrase rises and settles on the tonic, the
// second answers an octave higher.
static const note phrase_a[] = {
    {4, 1},    {5, .5f},  {4, .5f}, {3, 1}, {2, 1},              // A Bb A G F#
    {1, 1.5f}, {2, .5f},  {0, 2},                                // Eb F# D
    {2, .5f},  {3, .5f},  {4, 1},   {5, 1}, {6, 1},              // F# G A Bb C
    {5, .5f},  {4, .5f},  {5, 1},   {4, 2},                      // Bb A Bb A
    {7, 1},    {6, .5f},  {5, .5f}, {4, 1}, {5, 1},              // D C Bb A Bb
    {4, .5f},  {3, .5f},  {2, 1},   {1, 2},                      // A G F# Eb
    {2, .5f},  {1, .5f},  {2, 1},   {3, 1}, {2, .5f}, {1, .5f},  // F# Eb F# G F# Eb
    {0, 3},    {REST, 1},                                        // D
};
static const note phrase_b[] = {
    {7, 2}, {8, 1},    {7, 1},                      // D Eb D
    {6, 1}, {5, 1},    {4, 2},                      // C Bb A
    {5, 1}, {6, 1},    {7, 1},   {9, 1},            // Bb C D F#
    {8, 3}, {7, 1},                                 // Eb D
    {7, 1}, {6, .5f},  {7, .5f}, {5, 1},   {4, 1},  // D C D Bb A
    {3, 1}, {4, 1},    {2, 2},                      // G A F#
    {1, 1}, {2, 1},    {3, .5f}, {2, .5f}, {1, 1},  // Eb F# G F# Eb
    {0, 3}, {REST, 1},                              // D
};
#define COUNT(a) (int)(sizeof(a) / sizeof(a[0]))

// Chord roots per bar as scale degrees; a chord is root, third and fifth of
// the scale (D major, Eb major, C minor, G minor).
static const int chords_a[8] = {0, 0, 6, 3, 3, 0, 1, 0};
static const int chords_b[8] = {3, 6, 3, 1, 6, 0, 1, 0};

struct song {
  snd_buf st;
  double beat;  // seconds
  snd_rng rng;
  double at(int bar, float beat_in_bar) const { return (bar * 4 + beat_in_bar) * beat; }
};

enum voice { PLUCK, FLUTE };

static void melody(song& s, const note* ph, int n, int from, int bars, int bar0, voice v,
                   int octave, float amp, float pan) {
  float b = 0;
  for (int i = 0; i < n; i++) {
    const float start = b;
    b += ph[i].beats;
    if (ph[i].deg == REST || start < from * 4 || start >= (from + bars) * 4) continue;
    const double t = s.at(bar0 - from, start);
    const float f = degree_hz((int)ph[i].deg + 7 * octave), len = ph[i].beats * (float)s.beat;
    if (v == PLUCK)
      snd_pluck(s.st, s.rng, t, f, len, amp, pan, 0.6f);
    else
      snd_flute(s.st, s.rng, t, f, len * 0.95f, amp, pan);
  }
}

static void harmony(song& s, const int* chords, int bars, int bar0, bool arpeggio, float amp) {
  for (int i = 0; i < bars; i++) {
    const int root = chords[i], bar = bar0 + i;
    const float len = 4 * (float)s.beat;
    for (int k = 0; k < 3; k++)
      snd_pad(s.st, s.at(bar, 0), degree_hz(root + 2 * k - 7), len, amp * 0.05f, 0.3f + 0.2f * k);
    // Plucked bass: root on one and three, a pickup of the fifth before the next bar.
    snd_pluck(s.st, s.rng, s.at(bar, 0), degree_hz(root - 14), 1.5f * (float)s.beat, amp * 0.9f,
              0.5f, 0.3f);
    snd_pluck(s.st, s.rng, s.at(bar, 2), degree_hz(root - 14), 1.2f * (float)s.beat, amp * 0.7f,
              0.5f, 0.3f);
    snd_pluck(s.st, s.rng, s.at(bar, 3.5f), degree_hz(root - 10), 0.4f * (float)s.beat, amp * 0.5f,
              0.5f, 0.3f);
    if (!arpeggio) continue;
    static const int steps[8] = {0, 2, 4, 2, 7, 4, 2, 4};
    for (int e = 0; e < 8; e++)
      snd_pluck(s.st, s.rng, s.at(bar, 0.5f * e), degree_hz(root + steps[e]), 0.45f * (float)s.beat,
                amp * 0.25f, 0.8f, 0.7f);
  }
}

// Maqsum in eighths: dum tek . tek dum . tek . ; the light layer keeps only
// the first dum and a ka on three.
static void drums(song& s, int bars, int bar0, bool full, float amp) {
  static const snd_stroke maqsum[8] = {SND_DUM, SND_TEK, SND_KA,  SND_TEK,
                                       SND_DUM, SND_KA,  SND_TEK, SND_KA};
  static const float weight[8] = {1, .6f, .15f, .5f, .8f, .15f, .6f, .2f};
  for (int i = 0; i < bars; i++)
    for (int e = 0; e < 8; e++) {
      if (!full && e != 0 && e != 4) continue;
      const snd_stroke k = full ? maqsum[e] : (e == 0 ? SND_DUM : SND_KA);
      snd_drum(s.st, s.rng, s.at(bar0 + i, 0.5f * e), k, amp * weight[e], e % 2 ? 0.65f : 0.4f);
    }
}

static void maintheme(song& s) {
  // Statement on the plucked string, the flute's answer, both together.
  melody(s, phrase_a, COUNT(phrase_a), 0, 8, 0, PLUCK, 0, 0.5f, 0.45f);
  harmony(s, chords_a, 8, 0, false, 0.35f);
  drums(s, 8, 0, false, 0.5f);
  melody(s, phrase_b, COUNT(phrase_b), 0, 8, 8, FLUTE, 0, 0.22f, 0.55f);
  harmony(s, chords_b, 8, 8, true, 0.35f);
  drums(s, 8, 8, true, 0.5f);
  melody(s, phrase_a, COUNT(phrase_a), 0, 8, 16, FLUTE, 1, 0.18f, 0.6f);
  melody(s, phrase_a, COUNT(phrase_a), 0, 8, 16, PLUCK, 0, 0.35f, 0.35f);
  harmony(s, chords_a, 8, 16, true, 0.35f);
  drums(s, 8, 16, true, 0.55f);
}

static void menutheme(song& s) {
  // Slower and quieter: the flute over the drone, then the plucked answer.
  melody(s, phrase_a, COUNT(phrase_a), 0, 8, 0, FLUTE, 0, 0.2f, 0.5f);
  harmony(s, chords_a, 8, 0, false, 0.3f);
  drums(s, 8, 0, false, 0.35f);
  melody(s, phrase_b, COUNT(phrase_b), 4, 4, 8, PLUCK, 0, 0.45f, 0.45f);
  harmony(s, chords_b + 4, 4, 8, true, 0.3f);
  drums(s, 4, 8, false, 0.35f);
}

// A track starts from silence and ends in it: switching tracks starts one
// from its beginning, and a first sample far from 0 clicks.
static void fade_ends(snd_buf& st, float seconds) {
  const size_t frames = st.size() / 2, n = std::min(frames / 2, (size_t)(seconds * SND_RATE));
  for (size_t i = 0; i < n; i++) {
    const float g = 0.5f - 0.5f * cosf(SND_PI * (float)i / (float)n);  // 0 at either end
    for (size_t c = 0; c < 2; c++) {
      st[2 * i + c] *= g;
      st[2 * (frames - 1 - i) + c] *= g;
    }
  }
}

bool sound_music_render(const char* name, int frames, snd_buf& out) {
  const bool main = strcmp(name, "maintheme") == 0;
  if (!main && strcmp(name, "menutheme") != 0) return false;
  const int beats = main ? 96 : 48;
  song s{snd_buf(2 * (size_t)frames, 0.0f), (double)frames / SND_RATE / beats, {main ? 11u : 23u}};
  (main ? maintheme : menutheme)(s);
  snd_room(s.st, 0.35f);
  snd_normalize(s.st, 0.85f);
  fade_ends(s.st, 0.03f);
  out.swap(s.st);
  return true;
}
