# Include after the layers. The crash log walks the stack with GCC's libbacktrace (Debian's libgcc-12-dev),
# which lives beside the compiler's own headers rather than on the usual paths.
file(GLOB BACKTRACE_DIRS /usr/lib/gcc/x86_64-linux-gnu/*)
find_library(BACKTRACE_LIBRARY NAMES libbacktrace.a backtrace PATHS ${BACKTRACE_DIRS} REQUIRED)
find_path(BACKTRACE_INCLUDE_DIR backtrace.h PATHS ${BACKTRACE_DIRS} PATH_SUFFIXES include REQUIRED)
# Searched last, so the compiler's other headers there shadow nothing.
set_source_files_properties(${CMAKE_SOURCE_DIR}/Kelvask/shell/stackwalker.cpp PROPERTIES
  COMPILE_OPTIONS "-idirafter;${BACKTRACE_INCLUDE_DIR}")
target_link_libraries(tavorek_shell PUBLIC ${BACKTRACE_LIBRARY} ${CMAKE_DL_LIBS})
