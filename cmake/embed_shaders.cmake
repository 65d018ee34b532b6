# cmake -DOUT=file -DDIR=shaders -P embed_shaders.cmake: one raw string
# literal per shader of DIR, named shader_<stem>_<extension>.
file(GLOB sources ${DIR}/*.vert ${DIR}/*.frag)
set(text "// Generated from shaders/ at build time.\n")
foreach(src ${sources})
  get_filename_component(stem ${src} NAME_WE)
  get_filename_component(ext ${src} LAST_EXT)
  string(SUBSTRING ${ext} 1 -1 ext)
  file(READ ${src} body)
  string(APPEND text "static const char shader_${stem}_${ext}[] = R\"glsl(${body})glsl\";\n")
endforeach()
file(WRITE ${OUT} "${text}")
