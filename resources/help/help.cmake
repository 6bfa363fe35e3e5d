# SPDX-License-Identifier: GPL-3.0-or-later
# The help pages beside the program: ${CMAKE_BINARY_DIR}/help, the pages of
# resources/help with the screenshots of docs/ under images/. Installed to
# <prefix>/share/verbana/help.
set(VERBANA_HELP_DIR ${CMAKE_BINARY_DIR}/help CACHE INTERNAL "Help pages as built")
file(GLOB _help_pages CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/help/*.html ${CMAKE_SOURCE_DIR}/resources/help/*.css)
set(_help_images main-window.png main-window-adding.png goto-search.png document-editor.png start-helper.png about.png)
set(_outputs)
foreach(_page IN LISTS _help_pages)
  get_filename_component(_name ${_page} NAME)
  add_custom_command(OUTPUT ${VERBANA_HELP_DIR}/${_name}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_page} ${VERBANA_HELP_DIR}/${_name}
    DEPENDS ${_page} VERBATIM)
  list(APPEND _outputs ${VERBANA_HELP_DIR}/${_name})
endforeach()
foreach(_image IN LISTS _help_images)
  add_custom_command(OUTPUT ${VERBANA_HELP_DIR}/images/${_image}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/docs/${_image} ${VERBANA_HELP_DIR}/images/${_image}
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/${_image} VERBATIM)
  list(APPEND _outputs ${VERBANA_HELP_DIR}/images/${_image})
endforeach()
add_custom_target(verbana_help ALL DEPENDS ${_outputs})
include(GNUInstallDirs)
install(DIRECTORY ${VERBANA_HELP_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/verbana/help)
