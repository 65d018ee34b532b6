# Models and textures made by assetgen at build time.
enable_language(ASM)

# The ETC2 codec and PKM container: assetgen writes the textures with it and
# the tests decode them again.
add_library(tavorek_etc2 STATIC ${CMAKE_SOURCE_DIR}/tools/assetgen/etc2.cpp
                                ${CMAKE_SOURCE_DIR}/tools/assetgen/pkm.cpp)
target_include_directories(tavorek_etc2 PUBLIC ${CMAKE_SOURCE_DIR}/tools/assetgen)
get_target_property(ASSETGEN_OWN_SOURCES assetgen SOURCES)
list(FILTER ASSETGEN_OWN_SOURCES EXCLUDE REGEX "/(etc2|pkm)\\.cpp$")
set_property(TARGET assetgen PROPERTY SOURCES ${ASSETGEN_OWN_SOURCES})
target_link_libraries(assetgen PRIVATE tavorek_etc2)
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR}
  CALL target_link_libraries tavorek_tests PRIVATE tavorek_etc2)

set(MODELS_DIR ${GENERATED_DIR}/models)
file(MAKE_DIRECTORY ${MODELS_DIR})
add_custom_command(
  OUTPUT ${MODELS_DIR}/models.S ${MODELS_DIR}/models.bin ${MODELS_DIR}/models_counts.h
  COMMAND assetgen models ${MODELS_DIR}/models.S
  DEPENDS assetgen
  COMMENT "Generating the model data")
set_source_files_properties(${MODELS_DIR}/models.S PROPERTIES OBJECT_DEPENDS ${MODELS_DIR}/models.bin)
list(APPEND GENERATED_SOURCES ${MODELS_DIR}/models.S ${MODELS_DIR}/models_counts.h)

set(TEXTURE_NAMES terrain_grn terrain_ylw terrain_blu bakerymap hutmap tentmap taxcollectormap
                  carriermap)
set(TEXTURE_FILES "")
foreach(t ${TEXTURE_NAMES})
  list(APPEND TEXTURE_FILES ${RUN_DIR}/Art/raw/${t}.pkm)
endforeach()
file(MAKE_DIRECTORY ${RUN_DIR}/Art/raw)
add_custom_command(
  OUTPUT ${TEXTURE_FILES}
  COMMAND assetgen textures ${RUN_DIR}/Art/raw/carriermap.pkm
  DEPENDS assetgen
  COMMENT "Generating the ETC2 textures")
list(APPEND GENERATED_SOURCES ${TEXTURE_FILES})

# modelview: a contact sheet of every model, for looking at the art.
add_executable(modelview ${CMAKE_SOURCE_DIR}/tools/modelview/modelview.cpp)
target_link_libraries(modelview PRIVATE tavorek_core tavorek_etc2)
target_compile_definitions(modelview PRIVATE TAVOREK_RUN_DIR="${RUN_DIR}")
