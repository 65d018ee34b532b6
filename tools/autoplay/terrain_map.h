// Where the build put the generated terrain map: testmaps/ in the build
// folder, one level above the folder of the running test or benchmark.
#pragma once
#include <unistd.h>

#include <string>

inline std::string terrain_map_path() {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return "testmaps/terrain.pgm";
  std::string dir(exe, (size_t)n);
  dir = dir.substr(0, dir.rfind('/'));
  return dir.substr(0, dir.rfind('/')) + "/testmaps/terrain.pgm";
}
