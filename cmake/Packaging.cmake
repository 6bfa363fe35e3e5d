# SPDX-License-Identifier: GPL-3.0-or-later
# Verbana as an installed desktop program: its menu entry, its icon in the
# hicolor theme, the MIME type of BCK archives with Verbana as their
# handler, the AppStream metadata, the man pages and bash completions, the
# copyright file, and a Debian package of all of it (cpack -G DEB).
#
# Man pages are the files resources/man/*.1 and bash completions the files
# resources/completion/<command>: a new one is installed by adding it there.
include(GNUInstallDirs)

set(VERBANA_HOMEPAGE "https://verbana.org" CACHE STRING
    "The project's home page; the pictures of docs/ are published under <homepage>/docs")
set(VERBANA_PACKAGE_MAINTAINER "Verbana developers <maintainers@verbana.org>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <address>\"")
target_compile_definitions(verbana_app PRIVATE VERBANA_APP_ID="${VERBANA_APP_ID}")

# The installed programs resolve their symbols at start, so that the
# relocation tables can be read-only for the whole run.
foreach(_program verbana verbana-cli hwp2txt)
  if(TARGET ${_program})
    target_link_options(${_program} PRIVATE LINKER:-z,now)
  endif()
endforeach()

set(_desktop ${CMAKE_SOURCE_DIR}/resources/desktop)
set(_made ${CMAKE_BINARY_DIR}/package)
if(TARGET verbana-cli)
  install(TARGETS verbana-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${_desktop}/${VERBANA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_desktop}/verbana-bck.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME verbana.xml)
install(FILES ${_desktop}/icons/verbana.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 24 32 48 64 128 256)
  install(FILES ${_desktop}/icons/verbana-${_size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps RENAME verbana.png)
endforeach()
configure_file(${_desktop}/${VERBANA_APP_ID}.metainfo.xml.in ${_made}/${VERBANA_APP_ID}.metainfo.xml @ONLY)
install(FILES ${_made}/${VERBANA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the package's changelog go in compressed, without a time
# stamp in the gzip header, so that two builds give the same bytes.
configure_file(${CMAKE_SOURCE_DIR}/resources/debian/changelog.in ${_made}/changelog @ONLY)
file(GLOB _man_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/man/*.1)
set(_compressed)
foreach(_file IN LISTS _man_pages ITEMS ${_made}/changelog)
  get_filename_component(_name ${_file} NAME)
  add_custom_command(OUTPUT ${_made}/${_name}.gz
    COMMAND sh -c "gzip -9nc \"$0\" > \"$1\"" ${_file} ${_made}/${_name}.gz
    DEPENDS ${_file} VERBATIM)
  list(APPEND _compressed ${_made}/${_name}.gz)
  if(_file IN_LIST _man_pages)
    install(FILES ${_made}/${_name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()
endforeach()
add_custom_target(verbana_package_docs ALL DEPENDS ${_compressed})
file(GLOB _completions CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/completion/*)
install(FILES ${_completions} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/verbana)
install(FILES ${CMAKE_SOURCE_DIR}/resources/debian/copyright DESTINATION ${_doc})
install(FILES ${_made}/changelog.gz DESTINATION ${_doc})

set(CPACK_PACKAGE_NAME verbana)
set(CPACK_PACKAGE_VENDOR "Verbana developers")
set(CPACK_PACKAGE_CONTACT "${VERBANA_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sermon database for Korean preachers")
# The long description, below the summary line CPack puts first.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Verbana keeps a preacher's sermons in collections, each sermon with its
outline, Bible text, self-evaluation and manuscript. It lists them in
Bible order, searches fields and manuscripts, draws charts, prints sermon
lists, imports HWP, TXT and RTF files, and makes BCK and ZIP backups.
.
Collections are folders with an xBase table and Korean text in code page
949, compatible with those made on Windows. The package holds the program,
verbana-cli for scripted data operations, and the Hwp2txt converter.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY verbana)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${VERBANA_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# The libraries come from dpkg-shlibdeps. Besides them: the Korean fonts
# the window's 굴림체 is mapped to, and Qt's Korean texts for the standard
# dialogs, which no binary links against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-nanum, fonts-nanum-coding, qt6-translations-l10n")
# The dictionaries of the spell checking, which goes without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, hunspell-ko, hunspell-en-us")
include(CPack)
