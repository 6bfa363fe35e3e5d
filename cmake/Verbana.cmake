# SPDX-License-Identifier: GPL-3.0-or-later
# Common settings for every target of the project.

set(VERBANA_SHARED_DIR "${CMAKE_SOURCE_DIR}/../shared" CACHE PATH "Folder with the shared fixtures")

set(VERBANA_WARNINGS -Wall -Wextra -Wpedantic $<$<CXX_COMPILER_ID:GNU>:-Wshadow=local> -Wno-missing-field-initializers)
set(VERBANA_SAN_FLAGS -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)

function(verbana_target_defaults target)
  target_compile_options(${target} PRIVATE ${VERBANA_WARNINGS})
  target_compile_definitions(${target} PRIVATE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_KEYWORDS QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
  if(VERBANA_SANITIZE)
    target_compile_options(${target} PRIVATE ${VERBANA_SAN_FLAGS})
    target_link_options(${target} PRIVATE ${VERBANA_SAN_FLAGS})
  endif()
  if(VERBANA_FUZZ)
    # Coverage for libFuzzer in every library, not only in the fuzz drivers.
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link,address,undefined)
  endif()
endfunction()

# A logic library: Qt Core (and Gui where a subsystem needs documents or
# printing), never Qt Widgets. A stray widget include fails to compile
# because the Widgets include paths are not on the target.
function(verbana_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LINK})
  verbana_target_defaults(${name})
  get_target_property(_libs ${name} LINK_LIBRARIES)
  foreach(_l IN LISTS _libs)
    if(_l MATCHES "Widgets")
      message(FATAL_ERROR "${name} is a logic library and must not link ${_l}")
    endif()
  endforeach()
endfunction()

# A window library: may use Qt Widgets.
function(verbana_widget_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARG_LINK})
  verbana_target_defaults(${name})
endfunction()

# A GoogleTest executable registered with CTest. LABELS "engine" puts it
# into the sanitizer run of ./test.
function(verbana_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE verbana_test_support ${ARG_LINK})
  verbana_target_defaults(${name})
  target_compile_definitions(${name} PRIVATE VERBANA_SHARED_DIR="${VERBANA_SHARED_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VERBANA_SHARED_DIR=${VERBANA_SHARED_DIR}"
    TIMEOUT 900)
endfunction()

# A fuzz target: LLVMFuzzerTestOneInput in SOURCE. In an ordinary build it is
# linked with a replay driver and CTest replays the saved corpus in
# tests/fuzz/corpus/<name>; with VERBANA_FUZZ it is a libFuzzer binary.
function(verbana_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  if(VERBANA_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    add_test(NAME ${name}_replay COMMAND ${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name})
    set_tests_properties(${name}_replay PROPERTIES LABELS "engine;fuzz" TIMEOUT 600)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  verbana_target_defaults(${name})
endfunction()
