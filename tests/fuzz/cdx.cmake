# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_cdx SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_cdx.cpp LINK verbana_xbase)
