# SPDX-License-Identifier: GPL-3.0-or-later
# The HWP readers: HWP 3.0 documents and bodies, and HWP 5 compound files,
# section records, view-section decryption and summary information.
verbana_fuzz_target(fuzz_hwp3 SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_hwp3.cpp LINK verbana_hwp verbana_exchange)
verbana_fuzz_target(fuzz_hwp5 SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_hwp5.cpp LINK verbana_hwp verbana_exchange)
