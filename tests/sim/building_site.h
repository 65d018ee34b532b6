// What the tests of the production buildings share: a site of one height
// whose cells are all open on the same sides with no type, no goal weight
// and no event track; the world clock; the stamped cell types.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "fresh_sim.h"
#include "mtbe.h"
#include "section_text.h"
#include "wld.h"
#include "wld_init.h"
#include "wld_state.h"

namespace {

const float STEP = 1.0f / 240;

inline int type_at(int c) { return wld_cellflags[c] >> 4; }
inline int type_at(int x, int y) { return type_at(grid_cidx(x, y)); }

// The value on the line after header `name` in a saved section.
inline std::string first_value(const std::string& text, const std::string& name) {
  size_t at = text.find("\n" + name + "\n");
  EXPECT_NE(at, std::string::npos) << name;
  if (at == std::string::npos) return "";
  at += name.size() + 2;
  return text.substr(at, text.find_first_of(" \n", at) - at);
}

// Damage every building table's section must refuse: the count past any
// table, a header renamed, a centre off the grid, an event track nobody
// made (`track` names one of the table's track fields), a matrix value that
// is not a number, the text cut short; then `more`, pairs of a text and
// what it becomes.
inline std::vector<std::string> building_damages(
    const std::string& good, const std::string& prefix, const std::string& track,
    std::initializer_list<std::pair<std::string, std::string>> more) {
  std::string p = prefix + "_";
  std::string cidx = p + "cidx\n" + first_value(good, p + "cidx");
  std::string mtb = p + track + "\n" + first_value(good, p + track);
  std::vector<std::string> bad = {
      p + "count 100000" + good.substr(good.find('\n')),
      section_replaced(good, "\n" + p + "cidx\n", "\n" + p + "cidy\n"),
      section_replaced(good, cidx, p + "cidx\n-5"),
      section_replaced(good, mtb, p + track + "\n1000"),
      section_replaced(good, p + "trfs\n1.000000", p + "trfs\nnan"),
      good.substr(0, good.size() / 2),
  };
  for (const auto& m : more) bad.push_back(section_replaced(good, m.first, m.second));
  return bad;
}

struct BuildingTest : ::testing::Test {
  static inline uint8_t open_sides;

  // Height h everywhere, every cell open on the sides `open`, the clock at age.
  static void site(uint8_t h, uint8_t open, double age) {
    fresh_sim();
    memset(wld_height, h, sizeof wld_height);
    memset(wld_cellflags, open, sizeof wld_cellflags);
    open_sides = open;
    wld_age = age;
  }
  void TearDown() override { fresh_sim(); }

  // n simulation steps of the module's update, the clock running with them.
  template <typename Update>
  static void steps(int n, Update update) {
    for (int i = 0; i < n; i++) {
      wld_age += STEP;
      update(STEP);
    }
  }
  // Every cell listed has the type and still its open sides.
  static void expect_types(const std::vector<int>& cells, int type) {
    for (int c : cells) {
      EXPECT_EQ(type_at(c), type) << "cell " << c % GRIDSZ << "," << c / GRIDSZ;
      EXPECT_EQ(wld_cellflags[c] & 0x0f, open_sides) << "open sides kept";
    }
  }
  // The goal weight the cells share.
  static float weight(const std::vector<int>& cells) {
    for (int c : cells) EXPECT_EQ(wld_goalweight[c], wld_goalweight[cells[0]]);
    return wld_goalweight[cells[0]];
  }
};

}  // namespace
