# SPDX-License-Identifier: GPL-3.0-or-later
# The HWPX reader: whole packages (text and title) and section XML.
verbana_fuzz_target(fuzz_hwpx SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_hwpx.cpp LINK verbana_hwp verbana_exchange)
