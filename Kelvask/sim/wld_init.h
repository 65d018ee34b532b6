// Starting a new world, spawning workers at the tax offices.
#pragma once

// A new world on the terrain already in wld_height: grids, every module
// emptied, a fresh physics space with its walls, 200 silver.
void wld_init();
// Every simulation and crowd module back to the values a fresh process has,
// what a new game carries over included; the physics torn down.
void wld_reset();
// Appends a member of the trade (0..3) at the next tax office in turn, with
// its body and its trade's tool; its index, or -1 (logged) when the crowd
// is full.
int wld_spawn(int trade);
// The next spawn point: cell corner of the office at the round-robin cursor
// plus (0.5, 0.3), or (0, 0) without offices. Advances the cursor.
void wld_next_spawn_point(float* x, float* y);
// A tax office with its walls; its index, or -1 (16 exist or the site is taken).
int wld_add_taxc(int x, int y);
