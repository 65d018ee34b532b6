# The game's layers, one static library each, linked one way only:
#   core <- crowd <- sim <- ui <- shell
#   core <- gfx <- draw <- ui;  sim <- draw;  core <- sound, stats;  ui -> sound;  shell -> all
# A layer is a folder: its library compiles every source there, and its
# include path is that folder plus those of the layers it uses, so an include
# that points the wrong way finds no header. Library headers (SDL, GL,
# Chipmunk, OpenAL) lie on the system path for everyone; cmake/check_layers.cmake
# holds each layer to the ones it lists.

set(LAYER_MANIFEST ${CMAKE_BINARY_DIR}/layers.txt)
file(WRITE ${LAYER_MANIFEST} "")

# tavorek_layer(NAME DIR folder USES layer... SYSTEM prefix... LINK lib... EXTRA file...)
# SYSTEM lists the angle-bracket include prefixes the layer may use beyond the
# C and C++ libraries (for example "SDL2/"). EXTRA adds generated sources.
function(tavorek_layer name)
  cmake_parse_arguments(L "" "DIR" "USES;SYSTEM;LINK;EXTRA" ${ARGN})
  set(dir ${CMAKE_SOURCE_DIR}/${L_DIR})
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
  list(FILTER sources EXCLUDE REGEX "_entry\\.cpp$")
  add_library(tavorek_${name} STATIC ${sources} ${L_EXTRA})
  target_include_directories(tavorek_${name} PUBLIC ${dir})
  foreach(use ${L_USES})
    target_link_libraries(tavorek_${name} PUBLIC tavorek_${use})
  endforeach()
  if(L_LINK)
    target_link_libraries(tavorek_${name} PUBLIC ${L_LINK})
  endif()
  set_property(GLOBAL PROPERTY TAVOREK_USES_${name} ${L_USES})
  file(APPEND ${LAYER_MANIFEST} "layer ${name} ${dir} system ${L_SYSTEM}\n")
endfunction()

tavorek_layer(core DIR Base/C/core SYSTEM SDL2/)
target_link_libraries(tavorek_core PRIVATE PkgConfig::SDL2)
target_link_libraries(tavorek_core PUBLIC Threads::Threads m)

tavorek_layer(crowd DIR Dorrikan USES core)

tavorek_layer(sim DIR Kelvask/sim USES crowd core
  SYSTEM chipmunk/
  LINK ${CHIPMUNK_LIBRARY})
target_include_directories(tavorek_sim PUBLIC ${CHIPMUNK_INCLUDE_DIR})

tavorek_layer(gfx DIR Base/C/gfx USES core
  SYSTEM epoxy/
  LINK PkgConfig::EPOXY
  EXTRA ${CMAKE_SOURCE_DIR}/shaders/shaders.cpp ${GENERATED_DIR}/font_data.cpp ${SHADER_INC}
        ${CMAKE_SOURCE_DIR}/models/models.cpp ${MODELS_DIR}/models.S)
# The compiled-in shaders and models, and what the build generates for them.
target_include_directories(tavorek_gfx PUBLIC ${CMAKE_SOURCE_DIR}/shaders ${CMAKE_SOURCE_DIR}/models
                                              ${GENERATED_DIR} ${MODELS_DIR})

tavorek_layer(sound DIR Kelvask/sound USES core
  SYSTEM AL/ zlib.h
  LINK PkgConfig::ALUT PkgConfig::OPENAL ZLIB::ZLIB)

tavorek_layer(stats DIR Kelvask/stats USES core)

# The world's drawing: the simulation's results uploaded and drawn, never
# written back.
tavorek_layer(draw DIR Kelvask/draw USES gfx sim crowd core SYSTEM epoxy/)

tavorek_layer(ui DIR Kelvask/ui USES draw gfx sim crowd core sound SYSTEM SDL2/ epoxy/)

tavorek_layer(shell DIR Kelvask/shell USES ui draw gfx sim crowd core sound stats
  SYSTEM SDL2/ epoxy/ backtrace.h
  LINK PkgConfig::SDL2 PkgConfig::EPOXY PkgConfig::X11
  EXTRA ${GENERATED_DIR}/icon.inc)

add_custom_target(layer_check ALL
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${LAYER_MANIFEST} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking the library headers each layer includes"
  VERBATIM)
