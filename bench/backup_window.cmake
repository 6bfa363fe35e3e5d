# SPDX-License-Identifier: GPL-3.0-or-later
# The backup windows' work for backup_bench.sh (ZIP against zip and unzip,
# BCK through the window against the component alone).
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(backup_window_bench ${CMAKE_CURRENT_LIST_DIR}/backup_window_bench.cpp)
  target_link_libraries(backup_window_bench PRIVATE verbana_backup_ui)
  verbana_target_defaults(backup_window_bench)
endif()
