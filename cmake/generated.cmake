# Assets made at build time by tools/assetgen; sets GENERATED_SOURCES.
file(GLOB ASSETGEN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/assetgen/*.cpp)
add_executable(assetgen ${ASSETGEN_SOURCES})

set(GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
file(MAKE_DIRECTORY ${GENERATED_DIR})

# generate_asset(NAME FILE): FILE in the generated directory comes from `assetgen NAME`.
function(generate_asset name file)
  add_custom_command(
    OUTPUT ${GENERATED_DIR}/${file}
    COMMAND assetgen ${name} ${GENERATED_DIR}/${file}
    DEPENDS assetgen
    COMMENT "Generating ${file}")
  set(GENERATED_SOURCES ${GENERATED_SOURCES} ${GENERATED_DIR}/${file} PARENT_SCOPE)
endfunction()

set(GENERATED_SOURCES "")
generate_asset(icon icon.inc)
