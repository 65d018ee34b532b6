// Reading and writing the saved game's text lines. Every reader returns false
// (and logs one "ERR " line naming what it expected) instead of trusting the
// file: a damaged save must never crash the game or write out of bounds.
#pragma once
#include <cstdint>
#include <cstdio>

// The longest number the game writes ("%f" of the largest float) is 47
// characters; a longer one is refused as soon as it is seen to be longer.
#define SAVE_NUMBER_CHARS 64

// "name %d\n" / "name %f\n" / "name %lf\n": one named scalar on its own line.
void save_write_int(FILE* f, const char* name, int v);
bool save_read_int(FILE* f, const char* name, int* v);
// As save_read_int, and the value must lie in lo..hi.
bool save_read_count(FILE* f, const char* name, int lo, int hi, int* v);
bool save_read_double(FILE* f, const char* name, double* v);

// A header line, written as "name\n"; reading skips one line of at most 256
// characters as the format asks, but checks it is the expected header.
void save_write_header(FILE* f, const char* name);
bool save_skip_header(FILE* f, const char* name);

// n values one per line ("%d\n", "%f\n").
void save_write_ints(FILE* f, const int32_t* v, int n);
bool save_read_ints(FILE* f, const char* what, int32_t* v, int n);
void save_write_floats(FILE* f, const float* v, int n);
bool save_read_floats(FILE* f, const char* what, float* v, int n);  // finite only
// As save_read_floats, with the infinities and not-a-number that "%f" writes.
bool save_read_any_floats(FILE* f, const char* what, float* v, int n);

// A record of n values on one line, each followed by a blank ("%d ", "%f ").
void save_write_int_row(FILE* f, const int32_t* v, int n);
bool save_read_int_row(FILE* f, const char* what, int32_t* v, int n);
void save_write_float_row(FILE* f, const float* v, int n);
bool save_read_float_row(FILE* f, const char* what, float* v, int n);

// A coordinate of something that stands where a body can be pushed (a
// member, a cat, a carried block): a body pushed through the site's walls may
// stand a little off the grid until the next update puts it back on land;
// far beyond, or not a number, is damage.
bool save_near_site(float v);

// Binary blocks: exactly n bytes or false.
bool save_read_block(FILE* f, const char* what, void* dst, size_t n);
