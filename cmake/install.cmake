# What `cmake --install` puts on a Linux system, and the Debian package made
# from it by `cpack -G DEB`.
include(GNUInstallDirs)
# Installing and packaging take what is built; they do not build the tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

# Debian wants the manual pages and the changelog compressed, without time stamps.
set(QUILLNET_DIST ${CMAKE_BINARY_DIR}/dist)
configure_file(dist/changelog.Debian ${QUILLNET_DIST}/changelog.Debian @ONLY)
set(QUILLNET_COMPRESSED)
foreach(name quillnet.1 flinger.1)
  add_custom_command(OUTPUT ${QUILLNET_DIST}/${name}.gz
                     COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/dist/${name} > ${QUILLNET_DIST}/${name}.gz
                     DEPENDS dist/${name})
  list(APPEND QUILLNET_COMPRESSED ${QUILLNET_DIST}/${name}.gz)
endforeach()
add_custom_command(OUTPUT ${QUILLNET_DIST}/changelog.Debian.gz
                   COMMAND gzip -9nc ${QUILLNET_DIST}/changelog.Debian > ${QUILLNET_DIST}/changelog.Debian.gz
                   DEPENDS ${QUILLNET_DIST}/changelog.Debian)
add_custom_target(quillnet_dist ALL DEPENDS ${QUILLNET_COMPRESSED} ${QUILLNET_DIST}/changelog.Debian.gz)

install(TARGETS quillnet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${QUILLNET_DIST}/quillnet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(TARGET flinger)
  install(TARGETS flinger RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${QUILLNET_DIST}/flinger.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The program finds its shipped files at ../share/quillnet/data from its binary.
install(DIRECTORY data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillnet/data)
install(FILES dist/quillnet.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/icons/quillnet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES dist/icons/quillnet-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME quillnet.png)
endforeach()
install(FILES dist/copyright ${QUILLNET_DIST}/changelog.Debian.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME quillnet)
set(CPACK_PACKAGE_VENDOR "Quillnet developers")
set(CPACK_PACKAGE_CONTACT "Quillnet developers <quillnet@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "DX-cluster client for radio amateurs")
set(CPACK_PACKAGE_DESCRIPTION
    "Quillnet keeps a session open to a DX-cluster node (telnet, packet-radio TNC\n\
or web cluster), shows what the node sends and sorts the stream into\n\
windows of spots, announcements and talks, with filters, alerts, spoken\n\
spots and links to other programs.")
if(TARGET flinger)
  string(APPEND CPACK_PACKAGE_DESCRIPTION
         "\nThe package includes flinger, which passes spots between copies and\n\
logging programs over UDP.")
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries' packages come from the binaries; the country file and the
# speech voice make the lookups and recordings complete but are not needed.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hamradio-files")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
