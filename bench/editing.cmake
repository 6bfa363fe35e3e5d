# SPDX-License-Identifier: GPL-3.0-or-later
# The sermon list model on a generated table of 100,000 sermons.
add_executable(editing_bench ${CMAKE_CURRENT_LIST_DIR}/editing_bench.cpp)
target_link_libraries(editing_bench PRIVATE verbana_editing_logic verbana_search benchmark::benchmark)
verbana_target_defaults(editing_bench)
