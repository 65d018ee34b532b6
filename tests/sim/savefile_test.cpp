#include <gtest/gtest.h>

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
  const int32_t ints[3] = {1, -2, 3};
  const float floats[2] = {0.000001f, -1234.567749f};
  save_write_ints(f, ints, 3);
  save_write_int_row(f, ints, 3);
  save_write_float_row(f, floats, 2);
  save_write_floats(f, floats, 2);
  rewind(f);
  int v = 0;
  int32_t ri[3], rr[3];
  float rf[2], rg[2];
  EXPECT_TRUE(save_read_int(f, "food_bkry[ idx ]", &v));
  EXPECT_EQ(v, -4);
  EXPECT_TRUE(save_skip_header(f, "huts_cidx"));
  EXPECT_TRUE(save_read_ints(f, "a", ri, 3));
  EXPECT_TRUE(save_read_int_row(f, "b", rr, 3));
  EXPECT_TRUE(save_read_float_row(f, "c", rf, 2));
  EXPECT_TRUE(save_read_floats(f, "d", rg, 2));
  EXPECT_EQ(ri[1], -2);
  EXPECT_EQ(rr[2], 3);
  EXPECT_EQ(rf[1], floats[1]);
  EXPECT_EQ(rg[0], floats[0]);
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
  f = text("wld_age 0." + std::string(1 << 20, '7') + "\n");
  EXPECT_FALSE(save_read_double(f, "wld_age", &d));
  EXPECT_LT(ftell(f), 100);
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

}  // namespace
