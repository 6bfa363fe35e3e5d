# SPDX-License-Identifier: GPL-3.0-or-later
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine_bench PRIVATE verbana_store benchmark::benchmark)
verbana_target_defaults(engine_bench)
