// The devices a layer's test program runs on, as ctest gives them: OpenAL's
// null driver and SDL's offscreen one, so that the program started by hand
// needs no sound card and opens no window on the desktop. A variable the
// caller set is kept. Set before the first test: OpenAL reads its driver list
// once a process.
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>

class test_devices : public ::testing::Environment {
  static constexpr const char* vars[2][2] = {{"ALSOFT_DRIVERS", "null"},
                                             {"SDL_VIDEODRIVER", "offscreen"}};
  bool ours[2] = {};

 public:
  void SetUp() override {
    for (int i = 0; i < 2; i++) {
      ours[i] = !getenv(vars[i][0]);
      if (ours[i]) setenv(vars[i][0], vars[i][1], 0);
    }
  }
  void TearDown() override {
    for (int i = 0; i < 2; i++)
      if (ours[i]) unsetenv(vars[i][0]);
  }
};

inline ::testing::Environment* const test_devices_env =
    ::testing::AddGlobalTestEnvironment(new test_devices);
