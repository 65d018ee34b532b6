// Where the build put the generated terrain map: testmaps/ in the run folder.
#pragma once
#include <string>

inline std::string terrain_map_path() { return TAVOREK_RUN_DIR "/testmaps/terrain.pgm"; }
