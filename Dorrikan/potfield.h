// Potential fields: for every cell an approximate travel cost to the nearest
// goal cell of one type, over per-direction step costs.
#pragma once
#include <cstdint>

#include "grid.h"

// Solver cell states.
enum { POTFIELD_IDLE = 0, POTFIELD_ACTIVE = 1, POTFIELD_SETTLED = 2 };

// One state grid per field, so two fields can be solved at once.
extern uint32_t potfield_state[GROUPCNT][GRIDCELLS];

// The ways a solve can run; each gives the same values and states bit for
// bit. The fastest one the processor has is taken unless another is chosen.
enum { POTFIELD_SCALAR, POTFIELD_AVX, POTFIELD_AVX2, POTFIELD_AVX512 };
bool potfield_supports(int path);
// Makes potfield_solve run on path; false, and nothing changes, when the
// processor lacks it. Only while no solve runs.
bool potfield_use(int path);
int potfield_path();
// Start values: every state grid and ring zero, the fastest path taken.
void potfield_reset();

// Solves field t (0..9): seeds the cells of type t+1 with minus their weight and
// writes every cell's potential (FLT_UNDF where unreached). A cost of exactly
// FLT_UNDF closes its direction. Only potential and state are written; no two
// calls may run at once for the same t.
void potfield_solve(int32_t t, float* potential, const float* costw, const float* coste,
                    const float* costn, const float* costs, uint32_t* state, const uint8_t* flags,
                    const float* weight);

// The same solve without vector instructions; gives the same values.
void potfield_solve_scalar(int32_t t, float* potential, const float* costw, const float* coste,
                           const float* costn, const float* costs, uint32_t* state,
                           const uint8_t* flags, const float* weight);
