# Install rules and the Debian package. The game reads Shader/ and Resources/ from its working
# directory, so both sit in the games data folder and the `tintbox` launcher on the path starts
# the game binary there. The binary itself goes to libexec: /usr/share holds no machine code.
include(GNUInstallDirs)

set(TINTBOX_VERSION 0.001) # the version of the window title
set(TINTBOX_MAINTAINER "Tintbox developers <tintbox@example.org>"
  CACHE STRING "Maintainer named in the Debian package")
option(TINTBOX_DEBIAN_PACKAGE "Lay the install out as the Debian package does (scripts/package)" OFF)
set(TINTBOX_DATA_DIR ${CMAKE_INSTALL_DATADIR}/games/tintbox)
set(TINTBOX_GAME_DIR ${CMAKE_INSTALL_LIBEXECDIR}/tintbox)
set(TINTBOX_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tintbox)
set(staging ${CMAKE_BINARY_DIR}/packaging)
set(TINTBOX_LAUNCHER_DIR ${CMAKE_INSTALL_BINDIR})
set(font_link ${LIBERATION_REGULAR})
if(TINTBOX_DEBIAN_PACKAGE)
  # Debian's games live in /usr/games, and links within /usr are relative.
  set(TINTBOX_LAUNCHER_DIR games)
  file(RELATIVE_PATH font_link /usr/${TINTBOX_DATA_DIR}/Resources ${LIBERATION_REGULAR})
endif()

# The launcher reaches both folders relative to itself, so every prefix and DESTDIR tree runs.
set(launcher_dir ${CMAKE_INSTALL_PREFIX}/${TINTBOX_LAUNCHER_DIR})
file(RELATIVE_PATH TINTBOX_LAUNCHER_TO_DATA ${launcher_dir} ${CMAKE_INSTALL_FULL_DATADIR}/games/tintbox)
file(RELATIVE_PATH TINTBOX_LAUNCHER_TO_GAME ${launcher_dir} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/tintbox/tintbox)
configure_file(packaging/tintbox.in ${staging}/tintbox @ONLY)
configure_file(packaging/tintbox.metainfo.xml.in ${staging}/tintbox.metainfo.xml @ONLY)
configure_file(packaging/tintbox.6.in ${staging}/tintbox.6 @ONLY)
configure_file(packaging/changelog.in ${staging}/changelog @ONLY)
# The font comes from the fonts package the build took it from, as a link rather than a copy.
file(CREATE_LINK ${font_link} ${staging}/LiberationSans-Regular.ttf SYMBOLIC)

set(compressed "")
foreach(name tintbox.6 changelog)
  add_custom_command(OUTPUT ${staging}/${name}.gz
    COMMAND gzip -9nfk ${staging}/${name}
    DEPENDS ${staging}/${name}
    VERBATIM)
  list(APPEND compressed ${staging}/${name}.gz)
endforeach()
add_custom_target(install_files ALL DEPENDS ${compressed})
# Whatever built the game (scripts/play builds only it) leaves a tree that installs.
add_dependencies(install_files icons)
add_dependencies(tintbox install_files)

install(PROGRAMS ${staging}/tintbox DESTINATION ${TINTBOX_LAUNCHER_DIR})
install(TARGETS tintbox RUNTIME DESTINATION ${TINTBOX_GAME_DIR})
if(TINTBOX_DEBIAN_PACKAGE)
  # What Debian's strip step removes beyond the symbols.
  install(CODE "execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment --remove-section=.note
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${TINTBOX_GAME_DIR}/tintbox\")")
endif()
install(DIRECTORY ${CMAKE_BINARY_DIR}/Shader ${CMAKE_BINARY_DIR}/Resources DESTINATION ${TINTBOX_DATA_DIR}
  PATTERN resgen.stamp EXCLUDE
  PATTERN LiberationSans-Regular.ttf EXCLUDE)
install(FILES ${staging}/LiberationSans-Regular.ttf DESTINATION ${TINTBOX_DATA_DIR}/Resources)
install(FILES packaging/tintbox.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${staging}/tintbox.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${staging}/tintbox.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES packaging/copyright ${staging}/changelog.gz DESTINATION ${TINTBOX_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tintbox)
set(CPACK_PACKAGE_VERSION ${TINTBOX_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small 3D painting game")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Drive a little tracked vehicle over the floor of a room and paint the floor\n"
  "under the crosshair to match a target picture. Each colour has a budget of\n"
  "exactly the pixels the picture needs; when every budget is spent the floor\n"
  "is scored, and half of it right wins the level.\n"
  "\n"
  "Two levels: a tutorial room and a server room with a short scripted intro.\n"
  "The game draws its lit and shadowed scene with OpenGL 3.3.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TINTBOX_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS fonts-liberation)
include(CPack)
