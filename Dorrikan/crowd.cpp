#include "crowd.h"

#include <immintrin.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "log.h"

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the save block is little-endian");

#define CELLMASK (GRIDCELLS - 1)

int32_t crowd_sz;

static const uint8_t* crowd_height;
static const float* crowd_basecost[4];  // west, east, north, south

float crowd_posx[CROWDSZ];
float crowd_posy[CROWDSZ];
double crowd_time[CROWDSZ];
float crowd_phase[CROWDSZ];
uint32_t crowd_goal[CROWDSZ];
uint32_t crowd_trade[CROWDSZ];

float crowd_velx[CROWDSZ];
float crowd_vely[CROWDSZ];
int32_t crowd_cidx[CROWDSZ];
float crowd_fracx[CROWDSZ];
float crowd_fracy[CROWDSZ];
float crowd_dirx[CROWDSZ];
float crowd_diry[CROWDSZ];
float crowd_groundz[CROWDSZ];

uint32_t crowd_density[GRIDCELLS];
float crowd_avgvx[GRIDCELLS];
float crowd_avgvy[GRIDCELLS];
alignas(32) float crowd_costw[GRIDCELLS];
alignas(32) float crowd_coste[GRIDCELLS];
alignas(32) float crowd_costn[GRIDCELLS];
alignas(32) float crowd_costs[GRIDCELLS];

void crowd_reset() {
  crowd_sz = 0;
  for (float* a : {crowd_posx, crowd_posy, crowd_phase, crowd_velx, crowd_vely, crowd_fracx,
                   crowd_fracy, crowd_dirx, crowd_diry, crowd_groundz})
    memset(a, 0, CROWDSZ * sizeof(float));
  memset(crowd_time, 0, sizeof crowd_time);
  memset(crowd_goal, 0, sizeof crowd_goal);
  memset(crowd_trade, 0, sizeof crowd_trade);
  memset(crowd_cidx, 0, sizeof crowd_cidx);
  memset(crowd_density, 0, sizeof crowd_density);
  for (float* g : {crowd_avgvx, crowd_avgvy, crowd_costw, crowd_coste, crowd_costn, crowd_costs})
    memset(g, 0, GRIDCELLS * sizeof(float));
}

void crowd_add(int trade) {
  const int cnt = 1;
  ASSERT(crowd_sz + cnt <= CROWDSZ);
  ASSERT(trade >= 0 && trade <= 3);
  crowd_trade[crowd_sz] = trade;
  crowd_goal[crowd_sz] = crowd_first_state(trade);
  crowd_sz++;
}

// trunc(v) AND 127; a position that is not a number or far off the grid
// lands in column 0 instead of overflowing the integer conversion.
static int grid_coord(float v) {
  if (!(fabsf(v) < 2147483648.0f)) return 0;
  return (int)v & (GRIDSZ - 1);
}

static int member_cell(int i) {
  return grid_coord(crowd_posy[i]) * GRIDSZ + grid_coord(crowd_posx[i]);
}

float crowd_cell_fraction(float v) {
  float f = v - floorf(v);
  return f >= 0.0f && f < 1.0f ? f : 0.0f;  // rounding of tiny negatives, NaN
}

void crowd_splat() {
  memset(crowd_density, 0, sizeof crowd_density);
  memset(crowd_avgvx, 0, sizeof crowd_avgvx);
  memset(crowd_avgvy, 0, sizeof crowd_avgvy);
  for (int i = 0; i < crowd_sz; i++) {
    int c = member_cell(i);
    crowd_cidx[i] = c;
    crowd_density[c]++;
    crowd_avgvx[c] += crowd_velx[i];
    crowd_avgvy[c] += crowd_vely[i];
    crowd_fracx[i] = crowd_cell_fraction(crowd_posx[i]);
    crowd_fracy[i] = crowd_cell_fraction(crowd_posy[i]);
  }
  for (int c = 0; c < GRIDCELLS; c++) {
    if (crowd_density[c] > 1) {
      crowd_avgvx[c] /= (float)crowd_density[c];
      crowd_avgvy[c] /= (float)crowd_density[c];
    } else {  // a lone walker leaves no flow behind
      crowd_avgvx[c] = 0.0f;
      crowd_avgvy[c] = 0.0f;
    }
  }
}

void crowd_bind_terrain(const uint8_t* height, const float* costw, const float* coste,
                        const float* costn, const float* costs) {
  crowd_height = height;
  crowd_basecost[0] = costw;
  crowd_basecost[1] = coste;
  crowd_basecost[2] = costn;
  crowd_basecost[3] = costs;
}

static float crowd_cost(float base, float density, float counterflow) {
  return base >= FLT_UNDF ? FLT_UNDF : base + density + counterflow;
}

void crowd_compute_costs(float* costw, float* coste, float* costn, float* costs) {
  ASSERT(crowd_height);
  const float *basecostw = crowd_basecost[0], *basecoste = crowd_basecost[1];
  const float *basecostn = crowd_basecost[2], *basecosts = crowd_basecost[3];
  for (int c = 0; c < GRIDCELLS; c++) {
    float n = (float)crowd_density[c];
    float density = 0.2f * n;
    float push = 3.5f * n;  // per member and unit of speed against the flow
    float vx = crowd_avgvx[c], vy = crowd_avgvy[c];
    costw[c] = crowd_cost(basecostw[c], density, vx > 0.0f ? push * vx : 0.0f);
    coste[c] = crowd_cost(basecoste[c], density, vx < 0.0f ? -push * vx : 0.0f);
    costn[c] = crowd_cost(basecostn[c], density, vy > 0.0f ? push * vy : 0.0f);
    costs[c] = crowd_cost(basecosts[c], density, vy < 0.0f ? -push * vy : 0.0f);
  }
}

// Potential drop along one axis, from the low side (west, north) to the high
// side (east, south); a closed side is replaced by the cell itself and never
// lets the slope point into it.
static float axis_slope(float centre, float low, float high, bool low_open, bool high_open) {
  if (!low_open && !high_open) return 0.0f;
  float d = !low_open ? centre - high : !high_open ? low - centre : low - high;
  if ((!low_open && d < 0.0f) || (!high_open && d > 0.0f)) return 0.0f;
  return d;
}

// One cell's unit direction of falling potential, (0, 0) where flat or closed.
static void flow_cell(const float* potential, const uint8_t* flags, int c, float* fx, float* fy) {
  int open = flags[c];
  float uc = potential[c];
  float dx = axis_slope(uc, potential[(c - 1) & CELLMASK], potential[(c + 1) & CELLMASK],
                        open & OPEN_W, open & OPEN_E);
  float dy = axis_slope(uc, potential[(c - GRIDSZ) & CELLMASK], potential[(c + GRIDSZ) & CELLMASK],
                        open & OPEN_N, open & OPEN_S);
  float sq = dx * dx + dy * dy;
  float len = sq > 0.0f ? sqrtf(sq) : 1.0f;
  *fx = dx / len;
  *fy = dy / len;
}

#define AVX __attribute__((target("avx")))

// Masks are whole-lane compare results, so plain bit logic selects.
AVX static inline __m256 select8(__m256 mask, __m256 yes, __m256 no) {
  return _mm256_or_ps(_mm256_and_ps(mask, yes), _mm256_andnot_ps(mask, no));
}

// Lanes whose flag byte has the bit set.
AVX static inline __m256 open8(const uint8_t* flags, int bit) {
  const __m128i b = _mm_loadl_epi64((const __m128i*)flags);
  const __m128i m = _mm_set1_epi32(bit);
  const __m128i lo = _mm_cmpeq_epi32(_mm_and_si128(_mm_cvtepu8_epi32(b), m), m);
  const __m128i hi = _mm_cmpeq_epi32(_mm_and_si128(_mm_cvtepu8_epi32(_mm_srli_si128(b, 4)), m), m);
  return _mm256_castsi256_ps(_mm256_insertf128_si256(_mm256_castsi128_si256(lo), hi, 1));
}

// axis_slope on eight cells: the same subtractions and tests, lane by lane.
AVX static inline __m256 axis_slope8(__m256 centre, __m256 low, __m256 high, __m256 low_open,
                                     __m256 high_open) {
  const __m256 zero = _mm256_setzero_ps();
  __m256 d =
      select8(low_open, select8(high_open, _mm256_sub_ps(low, high), _mm256_sub_ps(low, centre)),
              _mm256_sub_ps(centre, high));
  const __m256 into_low = _mm256_andnot_ps(low_open, _mm256_cmp_ps(d, zero, _CMP_LT_OQ));
  const __m256 into_high = _mm256_andnot_ps(high_open, _mm256_cmp_ps(d, zero, _CMP_GT_OQ));
  d = select8(_mm256_or_ps(into_low, into_high), zero, d);
  return select8(_mm256_or_ps(low_open, high_open), d, zero);
}

// Rows 1 to 126, eight cells at a time; no neighbour index wraps there.
AVX static void flow_rows_avx(const float* potential, const uint8_t* flags, float* flowx,
                              float* flowy) {
  const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f);
  for (int c = GRIDSZ; c < GRIDCELLS - GRIDSZ; c += 8) {
    const __m256 uc = _mm256_loadu_ps(potential + c);
    const __m256 dx =
        axis_slope8(uc, _mm256_loadu_ps(potential + c - 1), _mm256_loadu_ps(potential + c + 1),
                    open8(flags + c, OPEN_W), open8(flags + c, OPEN_E));
    const __m256 dy = axis_slope8(uc, _mm256_loadu_ps(potential + c - GRIDSZ),
                                  _mm256_loadu_ps(potential + c + GRIDSZ), open8(flags + c, OPEN_N),
                                  open8(flags + c, OPEN_S));
    const __m256 sq = _mm256_add_ps(_mm256_mul_ps(dx, dx), _mm256_mul_ps(dy, dy));
    const __m256 len = select8(_mm256_cmp_ps(sq, zero, _CMP_GT_OQ), _mm256_sqrt_ps(sq), one);
    _mm256_storeu_ps(flowx + c, _mm256_div_ps(dx, len));
    _mm256_storeu_ps(flowy + c, _mm256_div_ps(dy, len));
  }
}

void crowd_flow_field(const float* potential, const uint8_t* flags, float* flowx, float* flowy,
                      float* angle) {
  for (int c = 0; c < GRIDSZ; c++) flow_cell(potential, flags, c, &flowx[c], &flowy[c]);
  flow_rows_avx(potential, flags, flowx, flowy);
  for (int c = GRIDCELLS - GRIDSZ; c < GRIDCELLS; c++)
    flow_cell(potential, flags, c, &flowx[c], &flowy[c]);
  if (!angle) return;
  for (int c = 0; c < GRIDCELLS; c++) angle[c] = atan2f(flowy[c], flowx[c]);
}

void crowd_flow_angle(const float* potential, const uint8_t* flags, float* angle) {
  for (int c = 0; c < GRIDCELLS; c++) {
    float fx, fy;
    flow_cell(potential, flags, c, &fx, &fy);
    angle[c] = atan2f(fy, fx);
  }
}

// A cell and its three neighbours towards the quarter of it that (fx, fy)
// lies in.
struct cell_quad {
  int own, horiz, vert, diag;
};

static cell_quad quad_around(int c, float fx, float fy) {
  int sx = fx > 0.5f ? 1 : -1;
  int sy = fy > 0.5f ? GRIDSZ : -GRIDSZ;
  return {c, (c + sx) & CELLMASK, (c + sy) & CELLMASK, (c + sx + sy) & CELLMASK};
}

template <typename T>
static float quad_blend(const T* grid, const cell_quad& q, float wx, float wy) {
  return (float)grid[q.own] * (1.0f - wx) * (1.0f - wy) + (float)grid[q.horiz] * wx * (1.0f - wy) +
         (float)grid[q.vert] * (1.0f - wx) * wy + (float)grid[q.diag] * wx * wy;
}

// Both field jobs of a frame add their step here at once.
static void add_time_atomic(double* at, double dt) {
  double old;
  __atomic_load(at, &old, __ATOMIC_RELAXED);
  double sum = old + dt;
  while (!__atomic_compare_exchange(at, &old, &sum, true, __ATOMIC_RELAXED, __ATOMIC_RELAXED))
    sum = old + dt;
}

void crowd_flow_at(int c, float fx, float fy, const float* flowx, const float* flowy,
                   const float* costw, const float* coste, const float* costn, const float* costs,
                   float* dx, float* dy) {
  // Walls pull the sample point onto the cell's centre line.
  if ((fx < 0.5f && costw[c] >= FLT_UNDF) || (fx > 0.5f && coste[c] >= FLT_UNDF)) fx = 0.5f;
  if ((fy < 0.5f && costn[c] >= FLT_UNDF) || (fy > 0.5f && costs[c] >= FLT_UNDF)) fy = 0.5f;
  cell_quad q = quad_around(c, fx, fy);
  float wx = fabsf(fx - 0.5f), wy = fabsf(fy - 0.5f);
  float bx = quad_blend(flowx, q, wx, wy);
  float by = quad_blend(flowy, q, wx, wy);
  float len = fmaxf(sqrtf(bx * bx + by * by), 0.0001f);
  *dx = bx / len;
  *dy = by / len;
}

void crowd_move_group(double dt, int t, const float* flowx, const float* flowy, const float* costw,
                      const float* coste, const float* costn, const float* costs) {
  for (int i = 0; i < crowd_sz; i++) add_time_atomic(&crowd_time[i], dt);
  for (int i = 0; i < crowd_sz; i++) {
    if (crowd_goal[i] != (uint32_t)(t + 1)) continue;
    crowd_flow_at(crowd_cidx[i] & CELLMASK, crowd_fracx[i], crowd_fracy[i], flowx, flowy, costw,
                  coste, costn, costs, &crowd_dirx[i], &crowd_diry[i]);
    crowd_posx[i] = (float)((double)crowd_posx[i] + (double)crowd_dirx[i] * dt);
    crowd_posy[i] = (float)((double)crowd_posy[i] + (double)crowd_diry[i] * dt);
  }
}

// Neighbour weight along one axis: the inner 0.6 of a cell is flat, then a
// smooth step reaches 0.5 at the edge.
static float edge_weight(float f) {
  float w = fabsf(f - 0.5f);
  if (w < 0.3f) return 0.0f;
  float s = (w - 0.3f) * 2.5f;
  return s * s * (3.0f - 2.0f * s);
}

float crowd_ground_height(int c, float fx, float fy) {
  return GRID_STEPZ *
         quad_blend(crowd_height, quad_around(c, fx, fy), edge_weight(fx), edge_weight(fy));
}

// Uses the current positions rather than the last splat: the draw calls this
// after the physics steps have moved everyone.
void crowd_sample_height() {
  for (int i = 0; i < crowd_sz; i++)
    crowd_groundz[i] = crowd_ground_height(member_cell(i), crowd_cell_fraction(crowd_posx[i]),
                                           crowd_cell_fraction(crowd_posy[i]));
}

struct block_array {
  void* live;
  void* staged;  // a read lands here and is copied only once it checked out
  size_t elsize;
};

static float staged_posx[CROWDSZ], staged_posy[CROWDSZ], staged_phase[CROWDSZ];
static double staged_time[CROWDSZ];
static uint32_t staged_goal[CROWDSZ], staged_trade[CROWDSZ];

static const block_array block_arrays[] = {
    {crowd_posx, staged_posx, sizeof(float)},    {crowd_posy, staged_posy, sizeof(float)},
    {crowd_time, staged_time, sizeof(double)},   {crowd_phase, staged_phase, sizeof(float)},
    {crowd_goal, staged_goal, sizeof(uint32_t)}, {crowd_trade, staged_trade, sizeof(uint32_t)},
};

static bool valid_goal(uint32_t goal) {
  return (goal >= JOB_FETCHSTONE && goal <= JOB_TIRED) || goal == JOB_RESTING || goal == JOB_DEAD;
}

// A place is left to the world to judge: a member flung past any number by
// an earlier version is put back on the grid there.
static int first_damaged_member() {
  for (int i = 0; i < crowd_sz; i++) {
    bool finite = std::isfinite(staged_time[i]) && std::isfinite(staged_phase[i]);
    if (!finite || !valid_goal(staged_goal[i]) || staged_trade[i] > 3) return i;
  }
  return -1;
}

static bool crowd_write(FILE* bin) {
  for (const block_array& a : block_arrays) {
    if (fwrite(a.live, a.elsize, crowd_sz, bin) != (size_t)crowd_sz) {
      LOG("ERR Could not write the crowd block of %d members.", crowd_sz);
      return false;
    }
  }
  return true;
}

static bool crowd_read(FILE* bin) {
  for (const block_array& a : block_arrays) {
    if (fread(a.staged, a.elsize, crowd_sz, bin) != (size_t)crowd_sz) {
      LOG("ERR The crowd block ends before its %d members.", crowd_sz);
      return false;
    }
  }
  int bad = first_damaged_member();
  if (bad >= 0) {
    LOG("ERR The crowd block is damaged at member %d (goal %u, trade %u).", bad, staged_goal[bad],
        staged_trade[bad]);
    return false;
  }
  for (const block_array& a : block_arrays) memcpy(a.live, a.staged, a.elsize * crowd_sz);
  // The walk wraps its phase once a step: a phase far outside -pi..pi would
  // never come back, and its swing would overflow.
  for (int i = 0; i < crowd_sz; i++)
    crowd_phase[i] = remainderf(crowd_phase[i], 2.0f * (float)M_PI);
  return true;
}

bool crowd_serialize(int out, FILE* bin) {
  if (crowd_sz < 0 || crowd_sz > CROWDSZ) {
    LOG("ERR Crowd size %d outside 0..%d, block not %s.", crowd_sz, CROWDSZ,
        out ? "written" : "read");
    return false;
  }
  if (!bin) {
    LOG("ERR No binary save stream for the crowd.");
    return false;
  }
  return out ? crowd_write(bin) : crowd_read(bin);
}
