# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_dbf SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_dbf.cpp LINK verbana_store)
verbana_fuzz_target(fuzz_expression SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_expression.cpp LINK verbana_store)
