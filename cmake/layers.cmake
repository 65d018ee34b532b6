# The game's layers, one static library each, linked one way only:
#   base <- crowd <- sim <- ui <- shell
#   base <- gfx <- draw <- ui;  sim <- draw;  base <- sound, stats;  ui -> sound;  shell -> all
# tavorek_layer() records which layer every source and header belongs to and
# which layers it may use; cmake/check_layers.cmake reads that record at every
# build and fails the build on an include that points the wrong way.

set(LAYER_MANIFEST ${CMAKE_BINARY_DIR}/layers.txt)
file(WRITE ${LAYER_MANIFEST} "")

# tavorek_layer(NAME USES layer... SYSTEM prefix... LINK lib... SOURCES file...)
# Headers beside the sources (same name, .h) and extra HEADERS join the layer.
# SYSTEM lists the angle-bracket include prefixes the layer may use beyond the
# C and C++ libraries (for example "SDL2/").
function(tavorek_layer name)
  cmake_parse_arguments(L "" "" "USES;SYSTEM;LINK;SOURCES;HEADERS" ${ARGN})
  add_library(tavorek_${name} STATIC ${L_SOURCES})
  foreach(use ${L_USES})
    target_link_libraries(tavorek_${name} PUBLIC tavorek_${use})
  endforeach()
  if(L_LINK)
    target_link_libraries(tavorek_${name} PUBLIC ${L_LINK})
  endif()
  target_include_directories(tavorek_${name} PUBLIC
    ${CMAKE_SOURCE_DIR}/Base/C ${CMAKE_SOURCE_DIR}/Dorrikan ${CMAKE_SOURCE_DIR}/Kelvask
    ${CMAKE_SOURCE_DIR} ${GENERATED_DIR})
  file(APPEND ${LAYER_MANIFEST} "layer ${name} uses ${L_USES} system ${L_SYSTEM}\n")
  set(files ${L_HEADERS})
  # Generated files belong to their layer wherever the build folder lies.
  foreach(src ${L_SOURCES})
    list(APPEND files ${src})
    string(REGEX REPLACE "\\.(cpp|c)$" ".h" header ${src})
    if(NOT header STREQUAL src AND EXISTS ${header})
      list(APPEND files ${header})
    endif()
  endforeach()
  foreach(f ${files})
    file(APPEND ${LAYER_MANIFEST} "file ${name} ${f}\n")
  endforeach()
endfunction()

set(B ${CMAKE_SOURCE_DIR}/Base/C)
set(D ${CMAKE_SOURCE_DIR}/Dorrikan)
set(K ${CMAKE_SOURCE_DIR}/Kelvask)

tavorek_layer(base
  SYSTEM SDL2/
  SOURCES ${B}/camera.cpp ${B}/kv.cpp ${B}/log.cpp ${B}/matrix.cpp ${B}/notify.cpp
          ${B}/regfile.cpp ${B}/threadpool.cpp
  HEADERS ${B}/grid.h ${B}/msgwords.h)
target_link_libraries(tavorek_base PRIVATE PkgConfig::SDL2)
target_link_libraries(tavorek_base PUBLIC Threads::Threads m)

tavorek_layer(crowd USES base
  SOURCES ${D}/crowd.cpp ${D}/potfield.cpp ${D}/potfield_avx.cpp ${D}/potfield_avx2.cpp
          ${D}/potfield_avx512.cpp
  HEADERS ${D}/potfield_ring.h ${D}/potfield_vec.h ${D}/potfield_tags.h)

tavorek_layer(sim USES crowd base
  SYSTEM chipmunk/
  LINK ${CHIPMUNK_LIBRARY}
  SOURCES
    ${K}/bakeries.cpp ${K}/buckets.cpp ${K}/building.cpp ${K}/cats.cpp ${K}/farms.cpp
    ${K}/food.cpp ${K}/grain.cpp ${K}/hire.cpp ${K}/huts.cpp ${K}/items.cpp ${K}/mtbe.cpp
    ${K}/plates.cpp ${K}/savefile.cpp ${K}/sickles.cpp ${K}/stones.cpp ${K}/taxc.cpp
    ${K}/tools.cpp ${K}/wld.cpp ${K}/wld_fields.cpp ${K}/wld_init.cpp ${K}/wld_jobs.cpp
    ${K}/wld_physics.cpp ${K}/wld_place.cpp ${K}/wld_poses.cpp ${K}/wld_save.cpp ${K}/wld_save_check.cpp
    ${K}/wld_save_files.cpp ${K}/wld_start.cpp ${K}/wld_state.cpp ${K}/wld_update.cpp
    ${K}/wld_walls.cpp)
target_include_directories(tavorek_sim PUBLIC ${CHIPMUNK_INCLUDE_DIR})

tavorek_layer(gfx USES base
  SYSTEM epoxy/
  LINK PkgConfig::EPOXY
  SOURCES ${B}/font.cpp ${B}/geomdb.cpp ${B}/glpr.cpp ${B}/light.cpp ${B}/quad.cpp
          ${B}/txdb_raw.cpp ${CMAKE_SOURCE_DIR}/shaders/shaders.cpp
          ${GENERATED_DIR}/font_data.cpp ${SHADER_INC}
          ${CMAKE_SOURCE_DIR}/models/models.cpp ${MODELS_DIR}/models.S
  HEADERS ${B}/geomdesc.h ${B}/font_data.h ${MODELS_DIR}/models_counts.h)
target_include_directories(tavorek_gfx PUBLIC ${CMAKE_SOURCE_DIR}/shaders)

tavorek_layer(sound USES base
  SYSTEM AL/ zlib.h
  LINK PkgConfig::ALUT PkgConfig::OPENAL ZLIB::ZLIB
  SOURCES ${K}/sengine.cpp ${K}/sengine_load.cpp
  HEADERS ${K}/sengine_files.h)

tavorek_layer(stats USES base
  SOURCES ${K}/steam.cpp ${K}/steam_handlers.cpp ${K}/steamlayer.cpp ${K}/steamlayer_stats.cpp
          ${K}/steamlayer_store.cpp ${K}/steamlayer_web.cpp
  HEADERS ${K}/steamlayer_callback.h)

# The world's drawing: the simulation's results uploaded and drawn, never
# written back.
tavorek_layer(draw USES gfx sim crowd base
  SYSTEM epoxy/
  SOURCES ${K}/buildings_draw.cpp ${K}/cats_draw.cpp ${K}/crowd_draw.cpp ${K}/inst_draw.cpp ${K}/items_draw.cpp ${K}/modeldb.cpp ${K}/stones_draw.cpp
          ${K}/tools_draw.cpp ${K}/wld_draw.cpp)

tavorek_layer(ui USES draw gfx sim crowd base sound
  SYSTEM SDL2/ epoxy/
  SOURCES ${K}/ctrl.cpp ${K}/ctrl_build.cpp ${K}/ctrl_cursor.cpp ${K}/ctrl_draw.cpp ${K}/ctrl_handlers.cpp
          ${K}/ctrl_update.cpp ${K}/hints.cpp ${K}/hud.cpp ${K}/pane.cpp ${K}/smenu.cpp
          ${K}/smenu_draw.cpp ${K}/text.cpp ${K}/view.cpp ${K}/view_keys.cpp)

tavorek_layer(shell USES ui draw gfx sim crowd base sound stats
  SYSTEM SDL2/ epoxy/ backtrace.h
  LINK PkgConfig::SDL2 PkgConfig::EPOXY
  SOURCES ${K}/sdlmain.cpp ${K}/sdlmain_checks.cpp ${K}/sdlmain_input.cpp
          ${K}/sdlmain_loop.cpp ${K}/sdlmain_options.cpp ${K}/stackwalker.cpp
          ${K}/stackwalker_guard.cpp ${GENERATED_DIR}/icon.inc)

# The entry point is the executable's own; nothing may include it.
file(APPEND ${LAYER_MANIFEST} "file shell ${K}/sdlmain_entry.cpp\n")

add_custom_target(layer_check ALL
  COMMAND ${CMAKE_COMMAND} -DMANIFEST=${LAYER_MANIFEST} -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
          -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
  COMMENT "Checking that every include points down the layers"
  VERBATIM)
