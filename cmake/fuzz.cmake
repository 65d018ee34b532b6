# libFuzzer targets, built only with clang and TAVOREK_FUZZ on, in a build
# folder of their own (the simulation and the layers below it get coverage
# instrumentation):
#   CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTAVOREK_FUZZ=ON \
#     -DTAVOREK_SANITIZE=address,undefined
# tools/fuzz_load.sh does this and runs the saved-game load fuzzer.
# Include it after the layers are defined; included earlier, it puts its
# work off to the end of the top folder.
option(TAVOREK_FUZZ "Build the libFuzzer targets (clang only)" OFF)

function(tavorek_add_fuzz_targets)
  get_property(added GLOBAL PROPERTY TAVOREK_FUZZ_ADDED)
  if(added)
    return()
  endif()
  set_property(GLOBAL PROPERTY TAVOREK_FUZZ_ADDED ON)
  set(ignore ${CMAKE_SOURCE_DIR}/tests/fuzz/coverage_ignore.txt)
  foreach(layer core crowd sim)
    target_compile_options(tavorek_${layer} PRIVATE -fsanitize=fuzzer-no-link
                           -fsanitize-coverage-ignorelist=${ignore})
    get_target_property(sources tavorek_${layer} SOURCES)
    set_source_files_properties(${sources} TARGET_DIRECTORY tavorek_${layer} PROPERTIES OBJECT_DEPENDS ${ignore})
  endforeach()
  add_executable(wld_load_fuzz ${CMAKE_SOURCE_DIR}/tests/fuzz/wld_load_fuzz.cpp)
  target_include_directories(wld_load_fuzz PRIVATE ${CMAKE_SOURCE_DIR}/tests/sim)
  target_compile_options(wld_load_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(wld_load_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_libraries(wld_load_fuzz PRIVATE tavorek_sim)
endfunction()

if(TAVOREK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(WARNING "TAVOREK_FUZZ needs clang (libFuzzer); no fuzz targets are built.")
  elseif(TARGET tavorek_sim)
    tavorek_add_fuzz_targets()
  else()
    cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL tavorek_add_fuzz_targets)
  endif()
endif()
