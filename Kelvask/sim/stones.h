// Sandstone blocks and build marks: 4212 blocks start stacked in the stock,
// builders carry them one by one to build marks, and the ninth block on a
// mark raises that cell by one pyramid step and freezes its blocks for good.
// The pyramid level (layers still incomplete) is read off the height grid.
#pragma once
#include <cstdint>
#include <cstdio>

#define STONECNT 4212  // 13 layers x 36 stock cells x 9
#define MAXMARKS 256
#define STONE_SLOTS 9  // blocks per mark, 3 x 3
#define STONE_STEP 3   // height units a completed mark adds

// stones_stat: bits 0-15 the carrier, STONE_CARRMSK when nobody carries it.
#define STONE_CARRMSK 0x0ffffu
#define STONE_CARRIED 0x10000u
#define STONE_DEPOSIT 0x20000u
#define STONE_PERMPOS 0x40000u

extern float stones_x[STONECNT];  // cells, x grows east
extern float stones_y[STONECNT];  // cells, y grows south
extern float stones_z[STONECNT];  // base height in world units
extern int32_t stones_cidx[STONECNT];
extern uint32_t stones_stat[STONECNT];

// The stock is the index prefix [0, stones_numstocked).
extern int32_t stones_numstocked;
extern int32_t stones_numdeposited;   // on marks or frozen
extern int32_t stones_pyramid_level;  // layers still incomplete, 7..0

extern int32_t nummarks;  // marks in use, kept dense
extern int32_t stones_markcidx[MAXMARKS];
extern int32_t stones_markcnt[MAXMARKS];    // blocks on the mark, 0..8
extern float stones_markmat[MAXMARKS][16];  // column-major, at the cell's centre
extern float stones_inst[STONECNT][16];     // instance matrix of every block, refreshed per frame

// Start values: every block, counter, mark and matrix zero.
void stones_reset();
// A new world: stocks every block and marks the base layer. The height and
// cell-flag grids must already be set.
void stones_init();
void stones_add_base_marks();
// false (logged) when the table is full or the cell already has a type.
bool stones_add_mark(int cidx, const uint8_t* height);
// With restock, the blocks lying on the mark go back to the stock first.
bool stones_remove_mark(int cidx, int restock);
// A mark cell is removed (with restock), any other cell gets a mark.
void stones_toggle_mark(int cidx);
// The game is lost: every mark is taken down as a toggle would, its loose
// blocks back in the stock, and the stock cells lose their type, so builders
// find no goal again and the marks still match their cells.
void stones_halt();
// True once the game was halted: no cell is a stock cell, which a game that
// runs always has.
bool stones_halted();
// The top block of the stock for that carrier, or -1 when the stock is empty.
int stones_take(int carrier);
// Back to the stock; returns the block's new index.
int stones_restock(int i);
// Lays block s on the mark at cell (x, y): 1 laid, 0 refused (logged). The
// ninth block raises height[cell] and sets *changed.
int stones_deposit(int s, int x, int y, uint8_t* height, bool* changed);
// Once per frame: a carried block moves to its carrier (trfs: the members'
// transforms), and every block's instance matrix is rebuilt; deposited and
// frozen blocks stand 1.5 times as high, filling the step they build.
void stones_update_instances(const float (*trfs)[16]);
// 0..7: the number of pyramid layers that are not complete from the bottom up.
int stones_compute_pyramid_level(const uint8_t* height);
// out != 0 writes the counters to txt and the tables to bin; else reads them
// and returns false (logged) when anything is damaged or out of range.
bool stones_serialize(int out, FILE* txt, FILE* bin);
