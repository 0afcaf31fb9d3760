# LodePNG for the builds without a system copy (the browser, Windows): its
# source from npm's lodepng package, pinned in web/package-lock.json and
# installed by tools/web.sh and tools/windows.sh, compiled as C++ so its C++
# interface comes too. Sets LODEPNG_LIBRARY as find_library does elsewhere.
set(QUILL_LODEPNG_DIR ${CMAKE_SOURCE_DIR}/web/node_modules/lodepng/vendor)
if(NOT EXISTS ${QUILL_LODEPNG_DIR}/lodepng.c)
  message(FATAL_ERROR "No ${QUILL_LODEPNG_DIR}/lodepng.c: run `npm ci --ignore-scripts` in web/ (tools/web.sh and tools/windows.sh do)")
endif()
set_source_files_properties(${QUILL_LODEPNG_DIR}/lodepng.c PROPERTIES LANGUAGE CXX COMPILE_OPTIONS -w)
add_library(quill_lodepng STATIC ${QUILL_LODEPNG_DIR}/lodepng.c)
target_include_directories(quill_lodepng SYSTEM PUBLIC ${QUILL_LODEPNG_DIR})
set(LODEPNG_LIBRARY quill_lodepng)
