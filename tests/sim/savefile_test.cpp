#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>

#include "savefile.h"

namespace {

FILE* text(const std::string& s) {
  FILE* f = tmpfile();
  fputs(s.c_str(), f);
  rewind(f);
  return f;
}

TEST(SaveFile, RoundTripOfNamedValuesHeadersAndRows) {
  FILE* f = tmpfile();
  save_write_int(f, "food_bkry[ idx ]", -4);
  save_write_header(f, "huts_cidx");
  const int32_t ints[3] = {1, -2, 2147483647};
  // Every digit of the six decimals counts: the smallest step, a fraction
  // with six places, and values whose float spacing is coarser than that.
  const float floats[] = {0.000001f, -0.123456f, 1234.567749f, -98765.4375f};
  const int n = sizeof floats / sizeof floats[0];
  save_write_ints(f, ints, 3);
  save_write_int_row(f, ints, 3);
  save_write_float_row(f, floats, n);
  save_write_floats(f, floats, n);
  rewind(f);
  int v = 0;
  int32_t ri[3], rr[3];
  float rf[n], rg[n];
  EXPECT_TRUE(save_read_int(f, "food_bkry[ idx ]", &v));
  EXPECT_EQ(v, -4);
  EXPECT_TRUE(save_skip_header(f, "huts_cidx"));
  EXPECT_TRUE(save_read_ints(f, "a", ri, 3));
  EXPECT_TRUE(save_read_int_row(f, "b", rr, 3));
  EXPECT_TRUE(save_read_float_row(f, "c", rf, n));
  EXPECT_TRUE(save_read_floats(f, "d", rg, n));
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(ri[i], ints[i]) << i;
    EXPECT_EQ(rr[i], ints[i]) << i;
  }
  for (int i = 0; i < n; i++) {
    EXPECT_FLOAT_EQ(rf[i], floats[i]) << i;
    EXPECT_FLOAT_EQ(rg[i], floats[i]) << i;
  }
  fclose(f);
}

TEST(SaveFile, DamagedTextIsRefused) {
  int v;
  double d;
  float x[2];
  FILE* f = text("wrong_name 3\n");
  EXPECT_FALSE(save_read_int(f, "huts_count", &v));
  fclose(f);
  f = text("huts_count x\n");
  EXPECT_FALSE(save_read_int(f, "huts_count", &v));
  fclose(f);
  f = text("huts_count 5000\n");
  EXPECT_FALSE(save_read_count(f, "huts_count", 0, 16, &v));
  fclose(f);
  f = text("wld_age nan\n");
  EXPECT_FALSE(save_read_double(f, "wld_age", &d));
  fclose(f);
  f = text("1.0\ninf\n");
  EXPECT_FALSE(save_read_floats(f, "x", x, 2));
  fclose(f);
  f = text("other_header\n");
  EXPECT_FALSE(save_skip_header(f, "huts_cidx"));
  fclose(f);
  f = text("");
  EXPECT_FALSE(save_skip_header(f, "huts_cidx"));
  fclose(f);
  char buf[8];
  f = text("abc");
  EXPECT_FALSE(save_read_block(f, "blk", buf, sizeof buf));
  fclose(f);
}

// A number is read as one word of at most SAVE_NUMBER_CHARS characters: the
// longest the game writes loads, a longer one is refused once seen to be
// longer, however long it goes on.
TEST(SaveFile, ANumberLongerThanTheGameWritesIsRefusedWithoutReadingItAll) {
  const struct {
    std::string line;
    bool int_ok, double_ok;
  } cases[] = {
      {"x -340282346638528859811704183484516925440.000000\n", false, true},  // -FLT_MAX
      {"x " + std::string(SAVE_NUMBER_CHARS - 1, '0') + "5\n", true, true},
      {"x " + std::string(SAVE_NUMBER_CHARS, '0') + "5\n", false, false},
      {"x 0." + std::string(10000000, '7') + "\n", false, false},
  };
  for (const auto& c : cases)
    for (bool as_int : {true, false}) {
      FILE* f = fmemopen((void*)c.line.data(), c.line.size(), "r");
      int n = 0;
      double d = 0.0;
      testing::internal::CaptureStdout();
      const bool ok = as_int ? save_read_int(f, "x", &n) : save_read_double(f, "x", &d);
      testing::internal::GetCapturedStdout();
      EXPECT_EQ(ok, as_int ? c.int_ok : c.double_ok) << c.line.substr(0, 80) << as_int;
      EXPECT_EQ(as_int ? n : d, ok && c.int_ok ? 5 : ok ? -FLT_MAX : 0);
      EXPECT_LE(ftell(f), (long)(3 + SAVE_NUMBER_CHARS));  // read no further
      fclose(f);
    }
}

}  // namespace
