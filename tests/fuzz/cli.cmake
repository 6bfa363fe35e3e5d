# SPDX-License-Identifier: GPL-3.0-or-later
# The CSV reader of `verbana-cli load`.
verbana_fuzz_target(fuzz_cli_csv SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_cli_csv.cpp
                    ${CMAKE_SOURCE_DIR}/tools/verbana-cli/csv.cpp LINK verbana_platform)
target_include_directories(fuzz_cli_csv PRIVATE ${CMAKE_SOURCE_DIR}/tools/verbana-cli)
