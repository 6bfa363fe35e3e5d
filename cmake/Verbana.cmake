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
# printing), never Qt Widgets, not even through another library
# (verbana_check_layers). A stray widget include fails to compile because the
# Widgets include paths are not on the target.
function(verbana_logic_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core ${ARG_LINK})
  set_target_properties(${name} PROPERTIES VERBANA_NO_WIDGETS ON)
  verbana_target_defaults(${name})
endfunction()

# A window library: may use Qt Widgets.
function(verbana_widget_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Widgets ${ARG_LINK})
  verbana_target_defaults(${name})
endfunction()

# A GoogleTest executable registered with CTest. WIDGETS: a window test, run
# in a QApplication; any other runs in a QGuiApplication and must not reach
# Qt Widgets. LABELS "engine" puts it into the sanitizer run of ./test.
function(verbana_test name)
  cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LINK;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  if(ARG_WIDGETS)
    target_link_libraries(${name} PRIVATE verbana_test_main_widgets ${ARG_LINK})
  else()
    target_link_libraries(${name} PRIVATE verbana_test_main ${ARG_LINK})
    set_target_properties(${name} PROPERTIES VERBANA_NO_WIDGETS ON)
  endif()
  verbana_target_defaults(${name})
  target_compile_definitions(${name} PRIVATE VERBANA_SHARED_DIR="${VERBANA_SHARED_DIR}")
  # A test's files compile as one: each would otherwise parse the headers of
  # Qt and GoogleTest again.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    LABELS "${ARG_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;VERBANA_SHARED_DIR=${VERBANA_SHARED_DIR}"
    TIMEOUT 900)
endfunction()

# A fuzz target: LLVMFuzzerTestOneInput in SOURCE. In an ordinary build it is
# linked with a replay driver and CTest replays the saved corpus in
# tests/fuzz/corpus/<name>, and the folders of shared fixtures named in
# SEEDS, read where they are; with VERBANA_FUZZ it is a libFuzzer binary
# (scripts/fuzz.sh gives it the same folders).
function(verbana_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK;SEEDS" ${ARGN})
  if(VERBANA_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  else()
    add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    list(TRANSFORM ARG_SEEDS PREPEND ${VERBANA_SHARED_DIR}/fixtures/)
    add_test(NAME ${name}_replay COMMAND ${name} ${CMAKE_SOURCE_DIR}/tests/fuzz/corpus/${name} ${ARG_SEEDS})
    set_tests_properties(${name}_replay PROPERTIES LABELS "engine;fuzz" TIMEOUT 600)
  endif()
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  verbana_target_defaults(${name})
endfunction()

# The layers of src/, lowest first; folders in one entry are side by side.
set(VERBANA_LAYERS platform "richtext hwp" store "settings bible search exchange backup" stats editing app)

# Checks what every target reaches through its links, directly or not
# (LINK_LIBRARIES, INTERFACE_LINK_LIBRARIES): a target under src/ reaches
# only its own folder, the layers below it and outside libraries (never
# tools/ or tests/); a target marked VERBANA_NO_WIDGETS never reaches
# Qt6::Widgets. Each violation is an error naming the path of links. Call it
# once at the end of the top CMakeLists.txt, when every target exists.
function(verbana_check_layers)
  set(_rank 0)
  foreach(_group IN LISTS VERBANA_LAYERS)
    string(REPLACE " " ";" _group "${_group}")
    foreach(_folder IN LISTS _group)
      set(_rank_${_folder} ${_rank})
    endforeach()
    math(EXPR _rank "${_rank} + 1")
  endforeach()
  set(_dirs ${CMAKE_SOURCE_DIR})
  set(_targets)
  while(_dirs)
    list(POP_FRONT _dirs _dir)
    get_property(_t DIRECTORY ${_dir} PROPERTY BUILDSYSTEM_TARGETS)
    get_property(_d DIRECTORY ${_dir} PROPERTY SUBDIRECTORIES)
    list(APPEND _targets ${_t})
    list(APPEND _dirs ${_d})
  endwhile()
  foreach(_target IN LISTS _targets)
    get_target_property(_dir ${_target} SOURCE_DIR)
    file(RELATIVE_PATH _dir ${CMAKE_SOURCE_DIR} ${_dir})
    set(_layer)
    if(_dir MATCHES "^src/([^/]+)")
      set(_layer ${CMAKE_MATCH_1})
      if(NOT DEFINED _rank_${_layer})
        message(SEND_ERROR "src/${_layer} has no place in VERBANA_LAYERS (cmake/Verbana.cmake)")
        continue()
      endif()
    endif()
    get_target_property(_no_widgets ${_target} VERBANA_NO_WIDGETS)
    if(NOT _layer AND NOT _no_widgets)
      continue()
    endif()
    # Breadth first; _via_<node> is the path of links that reached the node.
    set(_queue ${_target})
    set(_seen ${_target})
    string(MAKE_C_IDENTIFIER "${_target}" _id)
    set(_via_${_id} ${_target})
    while(_queue)
      list(POP_FRONT _queue _node)
      string(MAKE_C_IDENTIFIER "${_node}" _id)
      set(_path "${_via_${_id}}")
      get_target_property(_imported ${_node} IMPORTED)
      set(_links)
      if(NOT _imported)
        get_target_property(_links ${_node} LINK_LIBRARIES)
      endif()
      get_target_property(_interface ${_node} INTERFACE_LINK_LIBRARIES)
      foreach(_link IN LISTS _links _interface)
        string(REGEX REPLACE "^\\$<LINK_ONLY:(.+)>$" "\\1" _link "${_link}")
        if(NOT TARGET "${_link}")
          continue() # a flag, a file, a generator expression or a ::@ marker
        endif()
        get_target_property(_aliased ${_link} ALIASED_TARGET)
        if(_aliased)
          set(_link ${_aliased})
        endif()
        if(_link IN_LIST _seen)
          continue()
        endif()
        list(APPEND _seen ${_link})
        set(_why)
        get_target_property(_imported ${_link} IMPORTED)
        if(_link STREQUAL "Qt6::Widgets" AND _no_widgets)
          set(_why "${_target} must not reach Qt6::Widgets")
        elseif(_layer AND NOT _imported)
          get_target_property(_dir ${_link} SOURCE_DIR)
          file(RELATIVE_PATH _dir ${CMAKE_SOURCE_DIR} ${_dir})
          if(NOT _dir MATCHES "^src/([^/]+)")
            set(_why "nothing under src/ may link ${_link} from ${_dir}/")
          elseif(NOT CMAKE_MATCH_1 STREQUAL _layer AND NOT _rank_${CMAKE_MATCH_1} LESS _rank_${_layer})
            set(_why "src/${_layer} may reach only the layers below it, not src/${CMAKE_MATCH_1}")
          endif()
        endif()
        if(_why)
          message(SEND_ERROR "Layer check: ${_why}: ${_path} -> ${_link}")
          continue()
        endif()
        string(MAKE_C_IDENTIFIER "${_link}" _id)
        set(_via_${_id} "${_path} -> ${_link}")
        list(APPEND _queue ${_link})
      endforeach()
    endwhile()
  endforeach()
endfunction()
