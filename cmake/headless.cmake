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

# The seeded random player, which plays through the controller's handlers and
# starts again on every pair it saves; the ui tests and tools/play_saves run it.
add_library(tavorek_randplay STATIC
  ${CMAKE_SOURCE_DIR}/tests/autoplay/randplay.cpp
  ${CMAKE_SOURCE_DIR}/tests/autoplay/randplay_hand.cpp)
target_include_directories(tavorek_randplay PUBLIC ${CMAKE_SOURCE_DIR}/tests/autoplay)
target_link_libraries(tavorek_randplay PUBLIC tavorek_ui)
target_compile_definitions(tavorek_randplay PUBLIC TAVOREK_RUN_DIR="${RUN_DIR}")

add_executable(play_saves ${CMAKE_SOURCE_DIR}/tools/play_saves.cpp)
target_link_libraries(play_saves PRIVATE tavorek_randplay)
