# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_rtf_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_rtf_reader.cpp LINK verbana_richtext)
