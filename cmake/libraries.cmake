# Third-party libraries linked into the core that ship without pkg-config files.

# Chipmunk2D: the 2D physics space for workers, cats and walls.
find_path(CHIPMUNK_INCLUDE_DIR chipmunk/chipmunk.h REQUIRED)
find_library(CHIPMUNK_LIBRARY NAMES chipmunk REQUIRED)
target_include_directories(tavorek_core PUBLIC ${CHIPMUNK_INCLUDE_DIR})
target_link_libraries(tavorek_core PUBLIC ${CHIPMUNK_LIBRARY})
