# SPDX-License-Identifier: GPL-3.0-or-later
# Showing sermons with text copies of 1, 10 and 50 MB, in the real main window
# under the offscreen platform.
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(manuscript_bench ${CMAKE_CURRENT_LIST_DIR}/manuscript_bench.cpp)
  target_link_libraries(manuscript_bench PRIVATE verbana_editing benchmark::benchmark)
  verbana_target_defaults(manuscript_bench)
endif()
