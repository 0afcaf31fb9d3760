# The installed game, laid out as Debian lays out games under any prefix:
# the launcher in games/, the game itself in a private directory, its data in
# share/games/quillmoor. The launcher finds the rest from its own place, so a
# DESTDIR install or an unpacked package runs where it lies.
install(TARGETS quillmoor RUNTIME DESTINATION lib/games/quillmoor)
install(PROGRAMS packaging/quillmoor DESTINATION games)
install(DIRECTORY Media DESTINATION share/games/quillmoor)
install(FILES settings.ini DESTINATION share/games/quillmoor)
install(FILES packaging/quillmoor.desktop DESTINATION share/applications)
foreach(size 48x48 128x128 256x256)
  install(FILES packaging/icons/${size}/quillmoor.png DESTINATION share/icons/hicolor/${size}/apps)
endforeach()

# The manual page (which names the version) and the changelog go out
# compressed, without a time stamp inside, so that two builds give the same
# bytes.
configure_file(packaging/quillmoor.6 quillmoor.6 @ONLY)
configure_file(packaging/changelog changelog COPYONLY)
foreach(doc quillmoor.6 changelog)
  add_custom_command(OUTPUT ${doc}.gz COMMAND gzip -9nkf ${doc} DEPENDS ${CMAKE_BINARY_DIR}/${doc} VERBATIM)
endforeach()
add_custom_target(quillmoor_docs ALL DEPENDS quillmoor.6.gz changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/quillmoor.6.gz DESTINATION share/man/man6)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz packaging/copyright DESTINATION share/doc/quillmoor)

# The software centres' entry, its release the project's version dated as
# the changelog's first entry.
file(STRINGS packaging/changelog quill_signed REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE ".*>  " "" quill_signed "${quill_signed}")
execute_process(COMMAND date -u -d "${quill_signed}" +%Y-%m-%d OUTPUT_VARIABLE QUILL_RELEASE_DATE
  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(packaging/org.example.quillmoor.metainfo.xml org.example.quillmoor.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/org.example.quillmoor.metainfo.xml DESTINATION share/metainfo)

# tools/package.sh builds the Debian package with `cpack`. Its dependencies
# come from the libraries the game links (dpkg-shlibdeps), plus libgl1: SDL
# 1.2 opens libGL.so.1 itself when it makes the OpenGL window, so no link
# names it, and without it every start ends with exit code 3.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillmoor)
set(CPACK_PACKAGE_CONTACT "Quillmoor developers <dev@quillmoor.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small single-player 3D sandbox game")
set(CPACK_PACKAGE_DESCRIPTION
  "You steer an avatar through a small world that repeats endlessly in every
direction: rolling ground, a swelling sea, and a box of blocks that fall when
they lose their support. Raise and lower the ground, place and remove blocks,
swing on a rope, shoot balls or fly, while large homing balls keep closing in.
The world is generated afresh at every start. Needs OpenGL.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS libgl1)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
