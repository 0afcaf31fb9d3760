# The browser build (tools/web.sh): the game compiled by Emscripten into a
# .js and a .wasm with Media/ and settings.ini preloaded, played by our own
# index.html. Included by CMakeLists.txt in place of the desktop's packages;
# the targets below stand in for them under the same names.

set(QUILL_TESTS OFF CACHE BOOL "The browser build is the game alone" FORCE)
set(QUILL_WEB_DIR ${CMAKE_CURRENT_LIST_DIR})

include(${CMAKE_SOURCE_DIR}/cmake/lodepng_npm.cmake)

# zlib's deflate, as the screenshot writer calls it, made by LodePNG's own
# compressor: Emscripten's zlib is a download at build time.
add_library(quill_web_zlib STATIC ${QUILL_WEB_DIR}/zlib/zlib_lodepng.cpp)
target_include_directories(quill_web_zlib PUBLIC ${QUILL_WEB_DIR}/zlib)
target_link_libraries(quill_web_zlib PUBLIC quill_lodepng)
add_library(ZLIB::ZLIB ALIAS quill_web_zlib)

# SDL 1.2, SDL_image, fixed-function GL and GLU come with Emscripten; the
# settings for all of them go on the game's link through these targets.
# GL_UNSAFE_OPTS=0: with the shortcut it takes by default, the emulation
# skips pointing the vertex arrays again when a draw follows a draw with no
# matrix change in between, even from another buffer object, and the second
# draw reads the first one's vertices.
add_library(OpenGL::GL INTERFACE IMPORTED)
add_library(OpenGL::GLU INTERFACE IMPORTED)
add_library(PkgConfig::SDL INTERFACE IMPORTED)
# The packer takes a folder's files in the order the disk lists them, which
# differs between file systems: named one by one, in name order, they make
# the same quillmoor.data everywhere.
file(GLOB QUILL_WEB_MEDIA RELATIVE ${CMAKE_SOURCE_DIR} CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/Media/*)
list(TRANSFORM QUILL_WEB_MEDIA REPLACE "(.+)" "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/\\1@\\1")
target_link_options(PkgConfig::SDL INTERFACE
  -sLEGACY_GL_EMULATION -sGL_UNSAFE_OPTS=0 -sASYNCIFY -sEXIT_RUNTIME -sALLOW_MEMORY_GROWTH
  -sEXPORTED_RUNTIME_METHODS=FS ${QUILL_WEB_MEDIA}
  "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/settings.ini@settings.ini")
