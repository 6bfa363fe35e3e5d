# SPDX-License-Identifier: GPL-3.0-or-later
# The document editor on a 1 MB manuscript: open, save, one key press; and
# the program that takes the editor's screenshot for docs/.
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(memo_bench ${CMAKE_CURRENT_LIST_DIR}/memo_bench.cpp)
  target_link_libraries(memo_bench PRIVATE verbana_editing benchmark::benchmark)
  verbana_target_defaults(memo_bench)

  add_executable(memo_screenshot ${CMAKE_CURRENT_LIST_DIR}/memo_screenshot.cpp)
  target_link_libraries(memo_screenshot PRIVATE verbana_editing)
  verbana_target_defaults(memo_screenshot)
endif()
