# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_rtf_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_rtf_reader.cpp LINK verbana_richtext)
if(VERBANA_FUZZ)
  # Coverage of the reader itself guides the fuzzer, not only of the target.
  target_compile_options(verbana_richtext PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endif()
