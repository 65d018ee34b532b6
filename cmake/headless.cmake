# The scripted player (tests/autoplay) drives the world without a window; the
# game test, the world benchmark and the headless game link it.
# tools/headless_game.sh runs the full game from the run folder.
add_library(tavorek_autoplay STATIC
  ${CMAKE_SOURCE_DIR}/tests/autoplay/autoplay.cpp
  ${CMAKE_SOURCE_DIR}/tests/autoplay/autoplay_player.cpp)
target_include_directories(tavorek_autoplay PUBLIC ${CMAKE_SOURCE_DIR}/tests/autoplay)
target_link_libraries(tavorek_autoplay PUBLIC tavorek_sim)
target_compile_definitions(tavorek_autoplay PUBLIC TAVOREK_RUN_DIR="${RUN_DIR}")

add_executable(headless_game ${CMAKE_SOURCE_DIR}/tools/headless_game.cpp)
target_link_libraries(headless_game PRIVATE tavorek_autoplay)
