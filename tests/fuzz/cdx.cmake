# SPDX-License-Identifier: GPL-3.0-or-later
# The index sources are compiled into the target itself so that a libFuzzer
# build instruments them for coverage.
file(GLOB _cdx_sources ${CMAKE_SOURCE_DIR}/src/store/xbase/cdx_*.cpp)
verbana_fuzz_target(fuzz_cdx SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_cdx.cpp ${_cdx_sources} LINK verbana_xbase)
target_include_directories(fuzz_cdx PRIVATE ${CMAKE_SOURCE_DIR}/src)
