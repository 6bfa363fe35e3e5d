# SPDX-License-Identifier: GPL-3.0-or-later
# Spelling in the document editor on a manuscript of 100,000 words.
if(NOT VERBANA_ENGINE_ONLY)
  add_executable(spell_bench ${CMAKE_CURRENT_LIST_DIR}/spell_bench.cpp)
  target_link_libraries(spell_bench PRIVATE verbana_editing benchmark::benchmark)
  verbana_target_defaults(spell_bench)
endif()
