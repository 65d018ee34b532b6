# Base graphics: the shader sources of shaders/ become string literals of the
# core library; tools/sheet draws every HUD piece and model into a PNG.
file(GLOB SHADER_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/shaders/*.vert ${CMAKE_SOURCE_DIR}/shaders/*.frag)
set(SHADER_INC ${CMAKE_BINARY_DIR}/generated/shader_sources.inc)
add_custom_command(
  OUTPUT ${SHADER_INC}
  COMMAND ${CMAKE_COMMAND} -DOUT=${SHADER_INC} -DDIR=${CMAKE_SOURCE_DIR}/shaders
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_shaders.cmake
  DEPENDS ${SHADER_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed_shaders.cmake
  COMMENT "Embedding shaders")
target_sources(tavorek_core PRIVATE ${CMAKE_SOURCE_DIR}/shaders/shaders.cpp ${SHADER_INC})
target_include_directories(tavorek_core PUBLIC ${CMAKE_SOURCE_DIR}/shaders)

find_package(ZLIB REQUIRED)
if(EXISTS ${CMAKE_SOURCE_DIR}/tools/sheet/sheet.cpp)
  add_executable(sheet ${CMAKE_SOURCE_DIR}/tools/sheet/sheet.cpp ${CMAKE_SOURCE_DIR}/tools/sheet/png.cpp
    ${CMAKE_SOURCE_DIR}/tools/sheet/sheet_models.cpp)
  target_link_libraries(sheet PRIVATE tavorek_core ZLIB::ZLIB)
endif()
