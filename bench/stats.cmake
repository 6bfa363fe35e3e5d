# SPDX-License-Identifier: GPL-3.0-or-later
# The statistics counts over 100,000 sermons in date order.
add_executable(stats_bench ${CMAKE_CURRENT_LIST_DIR}/stats_bench.cpp)
target_link_libraries(stats_bench PRIVATE verbana_stats benchmark::benchmark)
add_dependencies(stats_bench engine_bench)
verbana_target_defaults(stats_bench)
