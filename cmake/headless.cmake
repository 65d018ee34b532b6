# The players of tests/autoplay, each a library on the layer it drives.
function(player_library name layer)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/tests/autoplay)
  target_link_libraries(${name} PUBLIC ${layer})
  target_compile_definitions(${name} PUBLIC TAVOREK_RUN_DIR="${RUN_DIR}")
endfunction()

# The scripted player drives the world without a window; the game test, the
# world benchmark and the headless game link it.
# tools/headless_game.sh runs the full game from the run folder.
player_library(tavorek_autoplay tavorek_sim
  ${CMAKE_SOURCE_DIR}/tests/autoplay/autoplay.cpp
  ${CMAKE_SOURCE_DIR}/tests/autoplay/autoplay_player.cpp)
add_executable(headless_game ${CMAKE_SOURCE_DIR}/tools/headless_game.cpp)
target_link_libraries(headless_game PRIVATE tavorek_autoplay)

# The seeded random player plays through the controller's handlers and starts
# again on every pair it saves; the ui tests and tools/play_saves run it.
player_library(tavorek_randplay tavorek_ui
  ${CMAKE_SOURCE_DIR}/tests/autoplay/randplay.cpp
  ${CMAKE_SOURCE_DIR}/tests/autoplay/randplay_player.cpp)
add_executable(play_saves ${CMAKE_SOURCE_DIR}/tools/play_saves.cpp)
target_link_libraries(play_saves PRIVATE tavorek_randplay)
