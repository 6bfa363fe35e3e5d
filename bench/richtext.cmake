# SPDX-License-Identifier: GPL-3.0-or-later
# Plain text of a 1 MB RTF manuscript, in process and through verbana-cli,
# timed beside `unrtf --text` on the same file.
add_executable(richtext_bench ${CMAKE_CURRENT_LIST_DIR}/richtext_bench.cpp)
target_link_libraries(richtext_bench PRIVATE verbana_richtext Qt6::Gui benchmark::benchmark)
target_compile_definitions(richtext_bench PRIVATE VERBANA_CLI_PATH="$<TARGET_FILE:verbana-cli>")
add_dependencies(richtext_bench verbana-cli)
verbana_target_defaults(richtext_bench)
