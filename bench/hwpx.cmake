# SPDX-License-Identifier: GPL-3.0-or-later
# Hwp2txt on a generated 1 MB HWPX document against the binary HWP fixtures.
add_executable(hwpx_bench ${CMAKE_CURRENT_LIST_DIR}/hwpx_bench.cpp)
target_link_libraries(hwpx_bench PRIVATE verbana_hwp PkgConfig::LIBZIP)
add_dependencies(hwpx_bench hwp2txt)
target_compile_definitions(hwpx_bench PRIVATE HWP2TXT_PATH="$<TARGET_FILE:hwp2txt>"
                                              VERBANA_SHARED_DIR="${VERBANA_SHARED_DIR}")
verbana_target_defaults(hwpx_bench)
