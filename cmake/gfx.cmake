# The shader sources of shaders/ become string literals compiled into the base
# graphics layer.
file(GLOB SHADER_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/shaders/*.vert ${CMAKE_SOURCE_DIR}/shaders/*.frag)
set(SHADER_INC ${GENERATED_DIR}/shader_sources.inc)
add_custom_command(
  OUTPUT ${SHADER_INC}
  COMMAND ${CMAKE_COMMAND} -DOUT=${SHADER_INC} -DDIR=${CMAKE_SOURCE_DIR}/shaders
          -P ${CMAKE_SOURCE_DIR}/cmake/embed_shaders.cmake
  DEPENDS ${SHADER_FILES} ${CMAKE_SOURCE_DIR}/cmake/embed_shaders.cmake
  COMMENT "Embedding shaders")
