# SPDX-License-Identifier: GPL-3.0-or-later
# The collection generator of bck_bench.sh (which times BCK against zip).
add_executable(bck_gen_collection ${CMAKE_CURRENT_LIST_DIR}/bck_gen_collection.cpp)
verbana_target_defaults(bck_gen_collection)
