# The game played headless by a scripted player (tools/headless_game.sh runs
# the full 20 minutes). Run it from the build directory, where the terrain is.
add_executable(headless_game ${CMAKE_SOURCE_DIR}/tools/headless_game.cpp)
target_link_libraries(headless_game PRIVATE tavorek_core)
