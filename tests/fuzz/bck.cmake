# SPDX-License-Identifier: GPL-3.0-or-later
verbana_fuzz_target(fuzz_bck_restore SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_bck_restore.cpp LINK verbana_backup)
# The ZIP backups: the archive check and the restore.
verbana_fuzz_target(fuzz_zip_restore SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_zip_restore.cpp LINK verbana_backup)
