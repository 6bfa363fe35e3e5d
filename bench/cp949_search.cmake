# SPDX-License-Identifier: GPL-3.0-or-later
# The character-aware search of text copies (see cp949_search_bench.sh).
add_executable(cp949_search ${CMAKE_CURRENT_LIST_DIR}/cp949_search.cpp)
target_link_libraries(cp949_search PRIVATE verbana_platform)
verbana_target_defaults(cp949_search)
