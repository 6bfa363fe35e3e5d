# SPDX-License-Identifier: GPL-3.0-or-later
# The imports: foreign tables with their memo files, HWP titles, and what a
# TXT, RTF or CAP file becomes.
verbana_fuzz_target(fuzz_foreign_tables SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_foreign_tables.cpp LINK verbana_exchange)
verbana_fuzz_target(fuzz_hwp_title SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_hwp_title.cpp LINK verbana_exchange
  SEEDS hwp)
verbana_fuzz_target(fuzz_text_import SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_text_import.cpp LINK verbana_exchange
  SEEDS rtf)
