// The solver's ring of waiting cells and its scalar write-back, shared by the
// scalar path and the vector paths.
#pragma once
#include <cstring>

#include "log.h"
#include "potfield.h"

// The queue of waiting cells runs forward through a buffer twice the grid and
// moves back to the start when its end nears. A cell waits at most once, so
// it always fits and no entry is ever overwritten; the order of work is that
// of any first-in first-out ring that does not overflow.
#define RINGSZ (2 * GRIDCELLS)
#define RINGSLACK 64  // one pass appends at most 40 entries; reads reach 16 past the head
#define CELLMASK (GRIDCELLS - 1)
#define LANES 8
// Inlined into the vector passes, so the write-back is not a call and the
// tail and grid pointers stay in registers across a pass.
#define INLINE __attribute__((always_inline)) inline
#define FLATTEN __attribute__((always_inline))  // for lambdas

// One ring per field: two fields may be solved at once on different threads.
extern int32_t potfield_ring[GROUPCNT][RINGSZ + RINGSLACK];
// The vector paths' copy of the four cost grids, a cell's costs side by side.
alignas(32) extern float potfield_packed[GROUPCNT][GRIDCELLS][4];

struct potfield_grids {
  float* pot;
  const float* cost[4];  // west, east, north, south
  uint32_t* state;
};

struct potfield_queue {
  int32_t* cells;
  uint32_t head, tail;
};

// Clears the state grid, sets every potential to FLT_UNDF or a goal's value and
// queues the goals' neighbours.
void potfield_seed(int32_t t, potfield_queue& r, const potfield_grids& g, const uint8_t* flags,
                   const float* weight);

// The solve on each vector path; potfield.cpp picks one.
void potfield_solve_avx(int32_t t, const potfield_grids& g, const uint8_t* flags,
                        const float* weight);
void potfield_solve_avx2(int32_t t, const potfield_grids& g, const uint8_t* flags,
                         const float* weight);
void potfield_solve_avx512(int32_t t, const potfield_grids& g, const uint8_t* flags,
                           const float* weight);

// Everything below is compiled into each solver file with that file's
// instruction set, so it must stay local to the file.
namespace {

typedef potfield_grids grids;
typedef potfield_queue ring;

enum { WEST, EAST, NORTH, SOUTH };
const int32_t nbr_offset[4] = {-1, 1, -GRIDSZ, GRIDSZ};

// Keeps room for one more pass behind the tail; called between passes.
inline void make_room(ring& r) {
  if (r.tail <= RINGSZ) return;
  ASSERT(r.tail - r.head <= GRIDCELLS);
  memmove(r.cells, r.cells + r.head, (r.tail - r.head) * sizeof(int32_t));
  r.tail -= r.head;
  r.head = 0;
}

// The outcome of one pass before it is written: each lane's new potential, the
// lanes that dropped (they wait again), and per direction the settled lanes
// that open onto a higher neighbour (bit i for lane i).
struct outcome {
  float pot[LANES];
  uint32_t dropped;
  uint32_t wake[4];
};

// Activates cell nb when the settled lane asked for it and it does not wait
// already; cell 0 never waits. Branch-free: the entry is written at the tail
// either way, and the tail moves on only past a taken one.
INLINE void wake(uint32_t* state, int32_t* ring_cells, uint32_t& tail, int32_t nb, uint32_t asked) {
  const uint32_t s = state[nb];
  const uint32_t taken = asked & (s != POTFIELD_ACTIVE) & (nb != 0);
  ring_cells[tail] = nb;
  tail += taken;
  state[nb] = taken ? (uint32_t)POTFIELD_ACTIVE : s;
}

// Writes a pass in ring order: a dropped cell waits again; a settled one wakes
// each neighbour it marked unless that one already waits or is cell 0. A lane
// sees the states left by the lanes before it. INTERIOR: no cell of the pass
// lies in the first or last row or next to cell 0, so no neighbour index
// wraps and none is 0.
template <bool INTERIOR>
INLINE void commit(ring& r, const grids& g, const int32_t* cells, int n, const outcome& o) {
  int32_t* const ring_cells = r.cells;
  uint32_t* const state = g.state;
  uint32_t tail = r.tail;
  for (int i = 0; i < n; i++) {
    const int32_t c = cells[i];
    g.pot[c] = o.pot[i];
    const uint32_t dropped = (o.dropped >> i) & 1;
    ring_cells[tail] = c;
    tail += dropped;
    state[c] = POTFIELD_SETTLED - dropped;
    for (int d = 0; d < 4; d++) {
      const int32_t nb = INTERIOR ? c + nbr_offset[d] : (c + nbr_offset[d]) & CELLMASK;
      wake(state, ring_cells, tail, nb, (o.wake[d] >> i) & 1);
    }
  }
  r.tail = tail;
}

}  // namespace
