# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(cdx_bench ${CMAKE_CURRENT_LIST_DIR}/cdx_bench.cpp)
target_link_libraries(cdx_bench PRIVATE verbana_xbase benchmark::benchmark)
verbana_target_defaults(cdx_bench)
