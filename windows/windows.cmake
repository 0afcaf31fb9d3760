# The Windows build (tools/windows.sh): quillmoor.exe cross-built by
# mingw-w64 against SDL 1.2 built from Debian's source (QUILL_SDL_DIR),
# Windows' opengl32 and glu32, zlib and LodePNG linked in. Included by
# CMakeLists.txt in place of the desktop's packages; the targets below stand
# in for them under the same names.

set(QUILL_TESTS OFF CACHE BOOL "The Windows build is the game alone" FORCE)
set(QUILL_SDL_DIR "" CACHE PATH "SDL 1.2 built for Windows (bin/SDL.dll, lib/libSDL.dll.a)")
if(NOT EXISTS ${QUILL_SDL_DIR}/lib/libSDL.dll.a)
  message(FATAL_ERROR "No SDL 1.2 for Windows in QUILL_SDL_DIR='${QUILL_SDL_DIR}': tools/windows.sh builds it")
endif()

enable_language(RC)
# The version quillmoor.rc writes into the game: the project's own.
configure_file(${CMAKE_SOURCE_DIR}/windows/version.h.in ${CMAKE_BINARY_DIR}/windows/version.h @ONLY)
include_directories(${CMAKE_BINARY_DIR}/windows)
# The files it names are no #include, so no scan finds them.
set_source_files_properties(windows/quillmoor.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/windows/quillmoor.ico;${CMAKE_SOURCE_DIR}/windows/quillmoor.manifest")
include(${CMAKE_SOURCE_DIR}/cmake/lodepng_npm.cmake)
# The static zlib, not its import library: nothing to ship beside the game.
find_library(ZLIB_LIBRARY NAMES libz.a REQUIRED)
find_package(ZLIB REQUIRED)

# localtime_r comes with this, mingw's POSIX names for localtime_s.
add_compile_definitions(_POSIX_THREAD_SAFE_FUNCTIONS)
# The C++ runtime and the C one's helpers go inside quillmoor.exe, so that it
# needs no DLL beside SDL.dll, and a double-click opens no console.
add_link_options(-static -mwindows)

add_library(OpenGL::GL INTERFACE IMPORTED)
target_link_libraries(OpenGL::GL INTERFACE opengl32)
add_library(OpenGL::GLU INTERFACE IMPORTED)
target_link_libraries(OpenGL::GLU INTERFACE glu32)
add_library(PkgConfig::SDL INTERFACE IMPORTED)
target_include_directories(PkgConfig::SDL INTERFACE ${QUILL_SDL_DIR}/include/SDL)
# SDLmain's WinMain calls our main, renamed SDL_main by SDL.h.
target_link_libraries(PkgConfig::SDL INTERFACE
  mingw32 ${QUILL_SDL_DIR}/lib/libSDLmain.a ${QUILL_SDL_DIR}/lib/libSDL.dll.a)
