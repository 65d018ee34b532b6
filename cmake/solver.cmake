# The solver's vector paths are picked at run time; each file gets only the
# instructions of its own path, so the program still starts on plain AVX.
# No path may fuse a multiply and an add: they all give the scalar path's bits.
set(P ${CMAKE_SOURCE_DIR}/Dorrikan/potfield)
set_source_files_properties(${P}.cpp PROPERTIES COMPILE_OPTIONS "-ffp-contract=off")
set_source_files_properties(${P}_avx.cpp PROPERTIES COMPILE_OPTIONS "-ffp-contract=off;-mavx")
set_source_files_properties(${P}_avx2.cpp PROPERTIES COMPILE_OPTIONS "-ffp-contract=off;-mavx2;-mpopcnt")
set_source_files_properties(${P}_avx512.cpp PROPERTIES
  COMPILE_OPTIONS "-ffp-contract=off;-mavx2;-mpopcnt;-mbmi2;-mavx512f;-mavx512vl")
