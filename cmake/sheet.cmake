# tools/sheet draws every HUD piece, text and model into a PNG to look at.
find_package(ZLIB REQUIRED)
add_executable(sheet ${CMAKE_SOURCE_DIR}/tools/sheet/sheet.cpp ${CMAKE_SOURCE_DIR}/tools/sheet/png.cpp)
target_link_libraries(sheet PRIVATE tavorek_ui PkgConfig::SDL2 ZLIB::ZLIB)
