# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_settings SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_settings.cpp LINK verbana_settings)
