#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "stones.h"
#include "wld.h"

namespace {

const int kGround = 10;
const int kFirstMark = 62 * GRIDSZ + 36;  // the base square's north-west cell

int type_of(int cidx) { return wld_cellflags[cidx] >> 4; }
int mark_of(int cidx) {
  for (int m = 0; m < nummarks; m++)
    if (stones_markcidx[m] == cidx) return m;
  return -1;
}

struct StonesTest : ::testing::Test {
  void SetUp() override { new_world(1); }
  // A new world wipes the cell types before the stones are laid out.
  void new_world(unsigned seed) {
    std::fill_n(wld_height, GRIDCELLS, kGround);
    std::fill_n(wld_cellflags, GRIDCELLS, 0x0f);
    srand(seed);
    stones_init();
  }

  // What the world update does for a builder carrying block s onto cell cidx.
  int deposit(int s, int cidx, bool* changed) {
    stones_cidx[s] = cidx;
    return stones_deposit(s, cidx % GRIDSZ, cidx / GRIDSZ, wld_height, changed);
  }
  // Takes a block for `carrier` and lays it on cidx.
  int carry_to(int carrier, int cidx, bool* changed) {
    int s = stones_take(carrier);
    EXPECT_GE(s, 0);
    EXPECT_EQ(deposit(s, cidx, changed), 1);
    return s;
  }
  int count_state(uint32_t st) { return (int)std::count(stones_stat, stones_stat + STONECNT, st); }
};

std::string captured() { return testing::internal::GetCapturedStdout(); }

TEST_F(StonesTest, NewGameStocksEveryBlockAndMarksTheBase) {
  EXPECT_EQ(stones_numstocked, STONECNT);
  EXPECT_EQ(stones_numdeposited, 0);
  EXPECT_EQ(stones_pyramid_level, 7);
  EXPECT_EQ(count_state(STONE_CARRMSK), STONECNT);
  ASSERT_EQ(nummarks, 169);
  int stock = 0, marks = 0;
  for (int c = 0; c < GRIDCELLS; c++) {
    int x = c % GRIDSZ, y = c / GRIDSZ;
    bool in_stock = x >= 119 && x <= 124 && y >= 119 && y <= 124;
    bool in_base = x >= 36 && x <= 48 && y >= 62 && y <= 74;
    EXPECT_EQ(type_of(c), in_stock ? STCK : in_base ? MARK : 0) << c;
    EXPECT_EQ(wld_cellflags[c] & 0x0f, 0x0f);
    stock += in_stock;
    marks += in_base && mark_of(c) >= 0;
  }
  EXPECT_EQ(stock, 36);
  EXPECT_EQ(marks, 169);
  EXPECT_EQ(stones_markcidx[0], kFirstMark);
  EXPECT_EQ(stones_markcidx[168], 74 * GRIDSZ + 48);
  const float* m = stones_markmat[13];  // row 63, column 36
  EXPECT_FLOAT_EQ(m[12], 36.5f);
  EXPECT_FLOAT_EQ(m[13], 63.5f);
  EXPECT_FLOAT_EQ(m[14], kGround * 0.15f);
  EXPECT_EQ(m[0] + m[5] + m[10] + m[15], 4.0f);
}

TEST_F(StonesTest, StockLayoutAndJitterFollowTheRandomSequence) {
  srand(42);
  int r[4];
  for (int& v : r) v = rand() & 127;
  new_world(42);
  EXPECT_FLOAT_EQ(stones_x[0], 119.175f + r[0] / 2540.0f);  // x draws first
  EXPECT_FLOAT_EQ(stones_y[0], 119.175f + r[1] / 2540.0f);
  EXPECT_FLOAT_EQ(stones_x[1], 119.475f + r[2] / 2540.0f);
  EXPECT_FLOAT_EQ(stones_y[1], 119.175f + r[3] / 2540.0f);
  // Layer 12, row 124, column 121, i = 2, j = 1.
  int k = 324 * 12 + 54 * 5 + 9 * 2 + 3 * 2 + 1;
  EXPECT_EQ(stones_cidx[k], 124 * GRIDSZ + 121);
  EXPECT_FLOAT_EQ(stones_z[k], 0.3f * 12 + kGround * 0.15f);
  EXPECT_GE(stones_x[k], 121.475f);
  EXPECT_LE(stones_x[k], 121.475f + 0.05f);
  EXPECT_GE(stones_y[k], 124.775f);
  EXPECT_LE(stones_y[k], 124.775f + 0.05f);
}

TEST_F(StonesTest, BaseCellsThatHaveATypeAreNotMarked) {
  std::fill_n(wld_cellflags, GRIDCELLS, 0x0f);
  wld_cellflags[kFirstMark + 5] = (FARM << 4) | 0x0f;
  testing::internal::CaptureStdout();
  stones_init();
  EXPECT_EQ(captured(), "ERR Cannot add mark: Already a goal cell.\n");
  EXPECT_EQ(nummarks, 168);
  EXPECT_EQ(type_of(kFirstMark + 5), FARM);
  EXPECT_EQ(mark_of(kFirstMark + 5), -1);
}

TEST_F(StonesTest, TakingPopsTheTopOfTheStockUntilEmpty) {
  EXPECT_EQ(stones_take(17), STONECNT - 1);
  EXPECT_EQ(stones_stat[STONECNT - 1], 17u | STONE_CARRIED);
  EXPECT_EQ(stones_take(0), STONECNT - 2);
  EXPECT_EQ(stones_stat[STONECNT - 2], STONE_CARRIED);
  float x = stones_x[STONECNT - 2];
  EXPECT_EQ(stones_x[STONECNT - 2], x);  // taking does not move the block
  for (int i = STONECNT - 3; i >= 0; i--) ASSERT_EQ(stones_take(3999), i);
  EXPECT_EQ(stones_numstocked, 0);
  EXPECT_EQ(stones_take(5), -1);
  EXPECT_EQ(stones_numstocked, 0);
  EXPECT_EQ(stones_stat[0], 3999u | STONE_CARRIED);
}

TEST_F(StonesTest, DepositsFillTheSlotsRowByRow) {
  bool changed = false;
  int cidx = kFirstMark;
  for (int n = 0; n < 8; n++) {
    int s = carry_to(n, cidx, &changed);
    float dx = stones_x[s] - (36 + 0.11111111f + (n % 3) / 3.0f);
    float dy = stones_y[s] - (62 + 0.11111111f + (n / 3) / 3.0f);
    EXPECT_TRUE(dx >= 0 && dx <= 0.05f) << n;
    EXPECT_TRUE(dy >= 0 && dy <= 0.05f) << n;
    EXPECT_FLOAT_EQ(stones_z[s], kGround * 0.15f);
    EXPECT_EQ(stones_stat[s], STONE_DEPOSIT | STONE_CARRMSK);
    EXPECT_EQ(stones_cidx[s], cidx);
  }
  EXPECT_FALSE(changed);
  EXPECT_EQ(stones_markcnt[mark_of(cidx)], 8);
  EXPECT_EQ(stones_numdeposited, 8);
  EXPECT_EQ(stones_numstocked, STONECNT - 8);
  EXPECT_EQ(wld_height[cidx], kGround);
}

TEST_F(StonesTest, NinthBlockRaisesTheCellAndFreezesExactlyItsNine) {
  bool changed = false;
  int other = kFirstMark + 1;
  carry_to(100, other, &changed);
  for (int n = 0; n < 8; n++) carry_to(n, kFirstMark, &changed);
  int s = stones_take(8);
  int last = stones_markcidx[nummarks - 1];
  EXPECT_EQ(deposit(s, kFirstMark, &changed), 1);
  EXPECT_TRUE(changed);
  EXPECT_EQ(wld_height[kFirstMark], kGround + 3);
  EXPECT_EQ(wld_cellflags[kFirstMark], 0x0f);
  EXPECT_EQ(nummarks, 168);
  EXPECT_EQ(mark_of(kFirstMark), -1);
  EXPECT_EQ(stones_markcidx[0], last);  // the last mark fills the gap
  EXPECT_EQ(count_state(STONE_PERMPOS | STONE_DEPOSIT | STONE_CARRMSK), 9);
  for (int k = 0; k < STONECNT; k++) {
    if (stones_stat[k] & STONE_PERMPOS) {
      EXPECT_EQ(stones_cidx[k], kFirstMark);
    }
  }
  EXPECT_EQ(stones_numdeposited, 10);
  EXPECT_EQ(stones_markcnt[mark_of(other)], 1);
  // The raised cell is free: it may be marked for the next layer, whose
  // blocks lie at the new height.
  stones_toggle_mark(kFirstMark);
  EXPECT_EQ(type_of(kFirstMark), MARK);
  EXPECT_FLOAT_EQ(stones_markmat[nummarks - 1][14], (kGround + 3) * 0.15f);
  changed = false;
  s = carry_to(9, kFirstMark, &changed);
  EXPECT_FLOAT_EQ(stones_z[s], (kGround + 3) * 0.15f);
  EXPECT_FALSE(changed);
}

TEST_F(StonesTest, RefusedDepositsLeaveTheBlockCarried) {
  bool changed = false;
  int s = stones_take(4);
  testing::internal::CaptureStdout();
  EXPECT_EQ(deposit(s, 10 * GRIDSZ + 10, &changed), 0);
  EXPECT_EQ(captured(), "ERR cidx 1290 not found amoung 169 marks.\n");
  int m = mark_of(kFirstMark);
  stones_markcnt[m] = 9;
  testing::internal::CaptureStdout();
  EXPECT_EQ(deposit(s, kFirstMark, &changed), 0);
  EXPECT_EQ(captured(), "Building mark is already full.\n");
  EXPECT_EQ(stones_markcnt[m], 9);
  EXPECT_EQ(stones_stat[s], 4u | STONE_CARRIED);
  EXPECT_EQ(stones_numdeposited, 0);
  EXPECT_FALSE(changed);
}

TEST_F(StonesTest, TogglingAMarkRestocksItsBlocksWhereTheyLie) {
  bool changed = false;
  std::vector<int> carried(6);
  for (int c = 0; c < 6; c++) carried[c] = stones_take(c);  // blocks 4211 down to 4206
  std::vector<std::pair<float, float>> laid;
  for (int c : {1, 3, 4, 5}) {
    deposit(carried[c], kFirstMark, &changed);
    laid.push_back({stones_x[carried[c]], stones_y[carried[c]]});
  }
  int last = stones_markcidx[nummarks - 1], lastcnt = stones_markcnt[nummarks - 1];
  std::vector<float> lastmat(stones_markmat[nummarks - 1], stones_markmat[nummarks - 1] + 16);
  stones_toggle_mark(kFirstMark);
  EXPECT_EQ(stones_numstocked, STONECNT - 2);
  EXPECT_EQ(stones_numdeposited, 0);
  EXPECT_EQ(nummarks, 168);
  EXPECT_EQ(wld_cellflags[kFirstMark], 0x0f);
  EXPECT_EQ(stones_markcidx[0], last);
  EXPECT_EQ(stones_markcnt[0], lastcnt);
  EXPECT_TRUE(std::equal(lastmat.begin(), lastmat.end(), stones_markmat[0]));
  // The stock is again a prefix; the restocked blocks sit on its top, where
  // they were laid, and the two still carried went to the swapped places.
  for (int k = 0; k < stones_numstocked; k++) ASSERT_EQ(stones_stat[k], STONE_CARRMSK);
  std::vector<std::pair<float, float>> top;
  for (int k = STONECNT - 6; k < STONECNT - 2; k++) top.push_back({stones_x[k], stones_y[k]});
  std::sort(laid.begin(), laid.end());
  std::sort(top.begin(), top.end());
  EXPECT_EQ(top, laid);
  EXPECT_EQ(stones_stat[STONECNT - 2] & ~STONE_CARRMSK, STONE_CARRIED);
  EXPECT_EQ(stones_stat[STONECNT - 1] & ~STONE_CARRMSK, STONE_CARRIED);
  EXPECT_EQ(
      (stones_stat[STONECNT - 2] & STONE_CARRMSK) + (stones_stat[STONECNT - 1] & STONE_CARRMSK),
      2u);
  // The next take pops the last restocked block, wherever it lies.
  EXPECT_EQ(stones_take(9), STONECNT - 3);
}

TEST_F(StonesTest, MarksAreRefusedOnTypedFullOrTooHighCells) {
  testing::internal::CaptureStdout();
  stones_toggle_mark(120 * GRIDSZ + 120);  // the stock
  EXPECT_EQ(captured(), "ERR Cannot add mark: Already a goal cell.\n");
  EXPECT_EQ(type_of(120 * GRIDSZ + 120), STCK);
  wld_height[5] = 253;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(stones_add_mark(5, wld_height));  // would wrap past 255
  EXPECT_EQ(captured().rfind("ERR Cannot add mark", 0), 0u);
  wld_height[5] = 252;
  EXPECT_TRUE(stones_add_mark(5, wld_height));
  EXPECT_FALSE(stones_remove_mark(6, 1));
  for (int c = 0; nummarks < MAXMARKS; c++) stones_toggle_mark(GRIDSZ * 10 + c);
  testing::internal::CaptureStdout();
  stones_toggle_mark(GRIDSZ * 20);
  EXPECT_EQ(captured(), "ERR Too many marks.\n");
  EXPECT_EQ(type_of(GRIDSZ * 20), 0);
  EXPECT_EQ(nummarks, MAXMARKS);
}

void set_square(int layer, int h) {
  for (int r = 62 + layer; r <= 74 - layer; r++)
    for (int c = 36 + layer; c <= 48 - layer; c++) wld_height[r * GRIDSZ + c] = (uint8_t)h;
}

TEST_F(StonesTest, PyramidLevelCountsLayersCompleteFromTheBottom) {
  set_square(0, 40);
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 7);
  set_square(0, 41);  // a complete base layer
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 6);
  set_square(1, 44);
  wld_height[63 * GRIDSZ + 47] = 43;  // one cell of the second layer short
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 6);
  wld_height[63 * GRIDSZ + 47] = 44;
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 5);
  wld_height[74 * GRIDSZ + 36] = 40;  // a base corner missing undoes the rest
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 7);
  set_square(0, 41);
  for (int L = 1; L < 7; L++) set_square(L, 41 + 3 * L);
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 0);
  wld_height[68 * GRIDSZ + 42] = 58;  // the top cell
  EXPECT_EQ(stones_compute_pyramid_level(wld_height), 1);
}

// A saved game with blocks in every state: stocked, carried, on a mark,
// frozen, and restocked off the stock.
void play_some(StonesTest& t) {
  bool changed = false;
  for (int n = 0; n < 9; n++) t.carry_to(n, kFirstMark, &changed);
  for (int n = 0; n < 3; n++) t.carry_to(n, kFirstMark + 2, &changed);
  t.carry_to(3, kFirstMark + 3, &changed);
  stones_toggle_mark(kFirstMark + 3);
  stones_take(44);
  stones_toggle_mark(100);
}

struct Saved {
  std::string text;
  std::vector<char> bin;
};

Saved save_stones() {
  FILE* t = tmpfile();
  FILE* b = tmpfile();
  EXPECT_TRUE(stones_serialize(1, t, b));
  Saved s;
  s.text.resize(ftell(t));
  s.bin.resize(ftell(b));
  rewind(t);
  rewind(b);
  EXPECT_EQ(fread(&s.text[0], 1, s.text.size(), t), s.text.size());
  EXPECT_EQ(fread(s.bin.data(), 1, s.bin.size(), b), s.bin.size());
  fclose(t);
  fclose(b);
  return s;
}

bool load_stones(const Saved& s) {
  FILE* t = tmpfile();
  FILE* b = tmpfile();
  fwrite(s.text.data(), 1, s.text.size(), t);
  fwrite(s.bin.data(), 1, s.bin.size(), b);
  rewind(t);
  rewind(b);
  bool ok = stones_serialize(0, t, b);
  fclose(t);
  fclose(b);
  return ok;
}

TEST_F(StonesTest, SaveAndLoadRestoreEveryBlockAndMark) {
  play_some(*this);
  testing::internal::CaptureStdout();
  Saved s = save_stones();
  EXPECT_EQ(captured(), "serialized 168 marks.\n");
  EXPECT_EQ(
      s.text,
      "stones_numstocked 4199\nstones_numdeposited 12\nnummarks 168\nstones_pyramid_level 7\n");
  ASSERT_EQ(s.bin.size(), 5u * 16848 + 168u * 72);
  std::vector<char> before = s.bin;
  std::vector<uint8_t> flags(wld_cellflags, wld_cellflags + GRIDCELLS);

  new_world(9);  // a different world in memory; the cell types come back with the world's grids
  std::copy(flags.begin(), flags.end(), wld_cellflags);
  testing::internal::CaptureStdout();
  ASSERT_TRUE(load_stones(s));
  EXPECT_EQ(captured(), "serialized 168 marks.\n");
  EXPECT_EQ(stones_numstocked, 4199);
  EXPECT_EQ(stones_numdeposited, 12);
  EXPECT_EQ(nummarks, 168);
  Saved again = save_stones();
  EXPECT_EQ(again.bin, before);
  EXPECT_EQ(again.text, s.text);
  // The loaded world plays on: the mark with three blocks completes.
  bool changed = false;
  for (int n = 0; n < 6; n++) carry_to(n, kFirstMark + 2, &changed);
  EXPECT_TRUE(changed);
}

// Rewrites the 4-byte value at `at` of the binary block.
template <typename T>
void poke(Saved& s, size_t at, T v) {
  memcpy(&s.bin[at], &v, sizeof v);
}

TEST_F(StonesTest, DamagedSectionsAreRefused) {
  play_some(*this);
  testing::internal::CaptureStdout();
  Saved good = save_stones();
  captured();
  const size_t X = 0, Y = 16848, CIDX = 3 * 16848, STAT = 4 * 16848, MAT = 5 * 16848;
  const size_t MCIDX = MAT + nummarks * 64, MCNT = MCIDX + nummarks * 4;
  int onmark = -1;
  for (int m = 0; m < nummarks; m++)
    if (stones_markcnt[m] == 3) onmark = m;
  ASSERT_GE(onmark, 0);

  std::vector<Saved> bad(16, good);
  bad[0].bin.resize(good.bin.size() - 1);  // truncated
  bad[1].text = "stones_numstocked 4213\n" + good.text.substr(good.text.find('\n') + 1);
  bad[2].text.replace(bad[2].text.find("nummarks 168"), 12, "nummarks 257");
  bad[3].text.replace(bad[3].text.find("level 7"), 7, "level 8");
  bad[4].text.replace(bad[4].text.find("deposited 12"), 12, "deposited 11");
  bad[5].text = "stones_numstocked x\n";
  poke(bad[6], X + 4 * 5, NAN);
  poke(bad[7], Y + 4 * 7, 128.0f);
  poke(bad[8], CIDX + 4 * 9, GRIDCELLS);
  poke(bad[9], STAT + 4 * 10, STONE_CARRIED | STONE_DEPOSIT | STONE_CARRMSK);
  poke(bad[10], STAT + 4 * (STONECNT - 1), 4000u | STONE_CARRIED);  // no such member
  poke(bad[11], STAT + 4 * 3, STONE_CARRMSK | STONE_DEPOSIT);       // hole in the stock
  poke(bad[12], MCIDX + 4 * 7, -1);
  poke(bad[13], MCIDX + 4 * 7, stones_markcidx[8]);  // two marks on one cell
  poke(bad[14], MCNT + 4 * onmark, 4);               // more than the blocks it holds
  poke(bad[15], MAT + 64 * 2 + 4 * 12, INFINITY);
  for (size_t i = 0; i < bad.size(); i++) {
    testing::internal::CaptureStdout();
    EXPECT_FALSE(load_stones(bad[i])) << i;
    EXPECT_NE(captured().find("ERR "), std::string::npos) << i;
  }
  // The cell types must agree with the marks.
  wld_cellflags[kFirstMark + 30 * GRIDSZ] = (MARK << 4) | 0x0f;
  testing::internal::CaptureStdout();
  EXPECT_FALSE(load_stones(good));
  EXPECT_NE(captured().find("ERR "), std::string::npos);
  wld_cellflags[kFirstMark + 30 * GRIDSZ] = 0x0f;
  testing::internal::CaptureStdout();
  EXPECT_TRUE(load_stones(good));
  captured();
}

}  // namespace
