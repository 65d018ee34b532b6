# Assets made at build time by tools/assetgen; sets GENERATED_SOURCES.
file(GLOB ASSETGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assetgen/*.cpp)
add_executable(assetgen ${ASSETGEN_SOURCES})

set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${GENERATED_DIR})

# generate_asset(NAME FILE [DIR]): FILE in DIR (default: the generated
# directory) comes from `assetgen NAME`.
function(generate_asset name file)
  set(dir ${GENERATED_DIR})
  if(ARGC GREATER 2)
    set(dir ${ARGV2})
    file(MAKE_DIRECTORY ${dir})
  endif()
  add_custom_command(
    OUTPUT ${dir}/${file}
    COMMAND assetgen ${name} ${dir}/${file}
    DEPENDS assetgen
    COMMENT "Generating ${file}")
  set(GENERATED_SOURCES ${GENERATED_SOURCES} ${dir}/${file} PARENT_SCOPE)
endfunction()

set(GENERATED_SOURCES "")
generate_asset(icon icon.inc)
# The run folder: the game's working directory, where it reads its art, sounds
# and terrain map. run_game.sh and the end-to-end tests start the game there.
set(RUN_DIR ${CMAKE_BINARY_DIR}/run)
generate_asset(terrain terrain.pgm ${RUN_DIR}/testmaps)
include(${CMAKE_SOURCE_DIR}/cmake/art.cmake)
include(${CMAKE_SOURCE_DIR}/cmake/assets.cmake)
