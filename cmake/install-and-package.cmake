# What `cmake --install` puts where, and the Debian package made from it (`./dev deb`).
#
# Included by the top CMakeLists.txt. The program goes to bin/, its data to
# share/zorbel/Data (the data lookup's ../share/zorbel/Data beside the program), the manual
# page and the changelog gzipped (gzip -9n: the same bytes every build), and the copyright
# file in Debian's machine-readable form to share/doc/zorbel/. CPack's DEB generator makes
# zorbel_<version>_<arch>.deb; its run-time dependencies come from dpkg-shlibdeps, which
# reads the libraries the program is linked with.

include(GNUInstallDirs)
install(TARGETS zorbel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY Data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/zorbel/Data)
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zorbel)

find_program(ZORBEL_GZIP gzip)
if(ZORBEL_GZIP)
  foreach(pair "docs/zorbel.1;zorbel.1.gz" "packaging/changelog;changelog.gz")
    list(GET pair 0 source)
    list(GET pair 1 packed)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/${packed}
      COMMAND ${ZORBEL_GZIP} -9n -c ${CMAKE_SOURCE_DIR}/${source} > ${CMAKE_BINARY_DIR}/${packed}
      DEPENDS ${CMAKE_SOURCE_DIR}/${source})
  endforeach()
  add_custom_target(zorbel_docs ALL DEPENDS ${CMAKE_BINARY_DIR}/zorbel.1.gz ${CMAKE_BINARY_DIR}/changelog.gz)
  add_dependencies(zorbel zorbel_docs)
  install(FILES ${CMAKE_BINARY_DIR}/zorbel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zorbel)
else()
  install(FILES docs/zorbel.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zorbel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT "the Zorbel authors <zorbel@users.noreply.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audio-visual demo for the text terminal")
# The summary above is the description's first line; CPack adds it.
set(CPACK_PACKAGE_DESCRIPTION "Zorbel plays a fixed 260-second show in an 80 x 50 terminal window: pictures,
blue ripples, a plasma with wireframe cubes that pulse with the bass of its
tracker music, a star field with scrolling words and sentences on a sine wave.
It can also render the show into pictures or a video file.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
