# SPDX-License-Identifier: GPL-3.0-or-later
# The four sample collections of the first run. Their manuscripts and text
# copies are kept here as they are; each sermon table is made at build time
# by verbana-cli from the sample's sermons.csv, so the tables always come
# from the engine that reads them. The result goes to
# ${CMAKE_BINARY_DIR}/resources/samples (kept untouched for the tests) and,
# with ___first.sys, into the program's folder beside the executable.
set(VERBANA_SAMPLES_DIR ${CMAKE_BINARY_DIR}/resources/samples CACHE INTERNAL "Sample collections as built")
set(VERBANA_PROGRAM_DIR ${CMAKE_BINARY_DIR} CACHE INTERNAL "The build tree's program folder")
file(GLOB_RECURSE _sample_inputs CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/samples/*.csv
  ${CMAKE_SOURCE_DIR}/resources/samples/*.RTF
  ${CMAKE_SOURCE_DIR}/resources/samples/*.txt
  ${CMAKE_SOURCE_DIR}/resources/samples/___first.sys)
set(_stamp ${CMAKE_BINARY_DIR}/resources/samples.stamp)
add_custom_command(OUTPUT ${_stamp}
  COMMAND ${CMAKE_COMMAND} -DCLI=$<TARGET_FILE:verbana-cli> -DSOURCE_DIR=${CMAKE_SOURCE_DIR}/resources/samples
          -DOUT_DIR=${VERBANA_SAMPLES_DIR} -DPROGRAM_DIR=${VERBANA_PROGRAM_DIR} -DSTAMP=${_stamp}
          -P ${CMAKE_SOURCE_DIR}/resources/samples/make_samples.cmake
  DEPENDS verbana-cli ${_sample_inputs} ${CMAKE_SOURCE_DIR}/resources/samples/make_samples.cmake
  COMMENT "Making the sample collections"
  VERBATIM)
add_custom_target(verbana_samples ALL DEPENDS ${_stamp})
