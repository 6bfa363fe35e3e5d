# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_bck_restore SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bck_restore.cpp LINK verbana_backup)
if(VERBANA_FUZZ)
  # Coverage feedback from the archive code itself, not only from the driver.
  target_compile_options(verbana_backup PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
endif()
