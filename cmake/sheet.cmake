# tools/sheet draws every HUD piece, text and model into a PNG to look at.
find_package(ZLIB REQUIRED)
add_executable(sheet ${CMAKE_SOURCE_DIR}/tools/sheet/sheet.cpp ${CMAKE_SOURCE_DIR}/tools/sheet/png.cpp
  ${CMAKE_SOURCE_DIR}/tools/sheet/sheet_models.cpp)
target_link_libraries(sheet PRIVATE tavorek_ui tavorek_etc2 PkgConfig::SDL2 ZLIB::ZLIB)

# modelview: a contact sheet of every model, for looking at the art.
add_executable(modelview ${CMAKE_SOURCE_DIR}/tools/modelview/modelview.cpp)
target_link_libraries(modelview PRIVATE tavorek_gfx tavorek_etc2)
target_compile_definitions(modelview PRIVATE TAVOREK_RUN_DIR="${RUN_DIR}")
