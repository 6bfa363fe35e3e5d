# SPDX-License-Identifier: GPL-3.0-or-later
# The go-to search that finds nothing over 100,000 sermons in title order:
# the walk alone and the whole command in the main window (offscreen).
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(goto_bench ${CMAKE_CURRENT_LIST_DIR}/goto_bench.cpp)
  target_link_libraries(goto_bench PRIVATE verbana_editing verbana_search_ui benchmark::benchmark)
  add_dependencies(goto_bench engine_bench)
  verbana_target_defaults(goto_bench)
endif()
