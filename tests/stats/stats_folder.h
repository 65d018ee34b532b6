// Shared by the stats and crash-log tests: log lines caught in memory, and a
// fresh user data folder under XDG_DATA_HOME.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "log.h"

// The log line of a stats store with no achievement set.
inline const char* const NO_ACHIEVEMENTS =
    "ombrelith[ ] fundamentalist[ ] masterfarmer[ ] masterplanner[ ] fatcat[ ] brute[ ] "
    "jobcreator[ ]";

inline std::string read_file(const std::string& path) {
  std::stringstream s;
  s << std::ifstream(path).rdbuf();
  return s.str();
}

struct CaughtLog {
  char* buf = nullptr;
  size_t size = 0;
  FILE* saved = nullptr;
  void catch_lines() {
    saved = log_file;
    log_file = open_memstream(&buf, &size);
  }
  void release() {
    fclose(log_file);
    free(buf);
    log_file = saved;
  }
  std::string log() {
    fflush(log_file);
    return std::string(buf, size);
  }
  // How many log lines are exactly line.
  int log_count(const std::string& line) {
    std::istringstream in(log());
    int n = 0;
    for (std::string l; std::getline(in, l);) n += l == line;
    return n;
  }
};

struct StatsFolder : ::testing::Test, CaughtLog {
  std::string root, folder;
  void SetUp() override {
    char tmpl[] = "/tmp/statsXXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root = tmpl;
    folder = root + "/tavorek";
    setenv("XDG_DATA_HOME", root.c_str(), 1);
    catch_lines();
  }
  void TearDown() override {
    release();
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(system(("rm -rf '" + root + "'").c_str()), 0);
  }
};
