# SPDX-License-Identifier: GPL-3.0-or-later
# The manuscript gathering on a generated collection (gather_bench.sh).
add_executable(gather_scan ${CMAKE_CURRENT_LIST_DIR}/gather_scan.cpp)
target_link_libraries(gather_scan PRIVATE verbana_search)
verbana_target_defaults(gather_scan)
