# Sound: OpenAL Soft plays, freealut turns file images into buffers, zlib
# inflates the sound files. The files themselves come from tools/assetgen.
# Include after the layers.
target_include_directories(assetgen PRIVATE ${CMAKE_SOURCE_DIR}/Kelvask/sound)
target_link_libraries(assetgen PRIVATE ZLIB::ZLIB m)

# One file per effect and theme in the run folder's Sounds, named as the
# engine loads them.
set(SOUND_DIR ${RUN_DIR}/Sounds)
file(MAKE_DIRECTORY ${SOUND_DIR})
set(SOUND_FILES "")
foreach(name waterpickup waterdrop grainpickup graindrop foodpickup fooddrop
             stonepickup stonedrop meow maintheme menutheme)
  add_custom_command(
    OUTPUT ${SOUND_DIR}/${name}
    COMMAND assetgen ${name} ${SOUND_DIR}/${name}
    DEPENDS assetgen
    COMMENT "Generating sound ${name}")
  list(APPEND SOUND_FILES ${SOUND_DIR}/${name})
endforeach()
add_custom_target(sounds ALL DEPENDS ${SOUND_FILES})

# Plays one effect at a distance; the end-to-end sound test records it.
add_executable(sound_probe ${CMAKE_SOURCE_DIR}/tools/sound_probe.cpp)
target_link_libraries(sound_probe PRIVATE tavorek_sound)
