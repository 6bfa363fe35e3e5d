# SPDX-License-Identifier: GPL-3.0-or-later
# Verbana as an installed desktop program: its menu entry, its icon in the
# hicolor theme, the MIME type of BCK archives with Verbana as their
# handler, and a Debian package of all of it (cpack -G DEB).
include(GNUInstallDirs)
set(_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
install(FILES ${_desktop}/verbana.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_desktop}/verbana-bck.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME verbana.xml)
install(FILES ${_desktop}/icons/verbana.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 24 32 48 64 128 256)
  install(FILES ${_desktop}/icons/verbana-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME verbana.png)
endforeach()

set(CPACK_PACKAGE_NAME verbana)
set(CPACK_PACKAGE_VENDOR "Verbana developers")
set(CPACK_PACKAGE_CONTACT "Verbana developers <verbana@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sermon database for preachers (Korean)")
set(CPACK_PACKAGE_DESCRIPTION "Keeps a preacher's sermons with their manuscripts in collections: \
editing, Bible-order lists, search and gathering, charts, printed lists, imports and BCK/ZIP backups.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY verbana)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# Besides the libraries found by dpkg-shlibdeps: the Korean fonts the
# window's 굴림체 is mapped to, and Qt's Korean texts for the standard dialogs.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, fonts-nanum-coding, qt6-translations-l10n, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme")
include(CPack)
