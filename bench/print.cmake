# SPDX-License-Identifier: GPL-3.0-or-later
# The printed sermon list: the preview's first page of 10,000 sermons and
# the whole list of 100,000 sermons printed to PDF.
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(print_bench ${CMAKE_CURRENT_LIST_DIR}/print_bench.cpp)
  target_link_libraries(print_bench PRIVATE verbana_stats_print_ui benchmark::benchmark)
  add_dependencies(print_bench engine_bench)
  verbana_target_defaults(print_bench)
endif()
