# SPDX-License-Identifier: GPL-3.0-or-later
# Batch imports of TXT/RTF and HWP files, and a merge of 10,000 sermons
# against cp -r of the same files.
add_executable(exchange_bench ${CMAKE_CURRENT_LIST_DIR}/exchange_bench.cpp)
target_link_libraries(exchange_bench PRIVATE verbana_exchange)
add_dependencies(exchange_bench hwp2txt)
target_compile_definitions(exchange_bench PRIVATE HWP2TXT_PATH="$<TARGET_FILE:hwp2txt>"
                                                  VERBANA_SHARED_DIR="${VERBANA_SHARED_DIR}")
verbana_target_defaults(exchange_bench)
