# What `cmake --install` puts under the prefix, and the Debian package CPack makes of it.
# The program finds its samples as ../share/brantel/workspace from its own folder, so the
# layout below and find_sample_workspace() change together.
include(GNUInstallDirs)

install(TARGETS brantel-replay RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(BRANTEL_QT)
  install(TARGETS brantel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/brantel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 32 48 64 128 256)
    install(FILES packaging/icons/brantel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME brantel.png)
  endforeach()
  install(FILES packaging/icons/brantel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
install(DIRECTORY examples/workspace DESTINATION ${CMAKE_INSTALL_DATADIR}/brantel)

if(BRANTEL_QT)
  # The page names the version; Debian wants manual pages compressed.
  configure_file(packaging/brantel.1.in brantel.1 @ONLY)
  set(BRANTEL_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/brantel.1.gz)
  add_custom_command(OUTPUT ${BRANTEL_MAN_PAGE}
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_BINARY_DIR}/brantel.1 > ${BRANTEL_MAN_PAGE}
    DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/brantel.1 VERBATIM)
  add_custom_target(brantel_man_page ALL DEPENDS ${BRANTEL_MAN_PAGE})
  install(FILES ${BRANTEL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brantel)
set(CPACK_PACKAGE_VENDOR "TORVEL")
set(CPACK_PACKAGE_CONTACT "BRANTEL developers <brantel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "loading files of dynamic analyses for the VUX solver")
set(CPACK_PACKAGE_DESCRIPTION
  "BRANTEL collects the loading cases of a time-history analysis through a chain of\ndialogs and writes the loading file (.inc) that the VUX time-integration solver\nreads; it also reads an old loading file back so that it can be changed.\nA sample working folder is installed in /usr/share/brantel/workspace.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
# The run-time libraries (Qt 6, the C++ library) are found by dpkg-shlibdeps from the
# programs themselves, so new Qt modules need no list kept by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
