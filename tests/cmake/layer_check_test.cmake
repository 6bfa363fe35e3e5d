# SPDX-License-Identifier: GPL-3.0-or-later
# Configures a made-up project (src/platform, src/store, src/editing,
# tools/conv and a stand-in Qt6::Widgets) once per case with one extra link
# line, and expects verbana_check_layers to pass or to fail naming the path
# of links. Run with -DVERBANA_CMAKE=... -DWORK=... -DGENERATOR=... -P.
cmake_minimum_required(VERSION 3.25)
set(_libs "src/platform:verbana_platform:" "src/store:verbana_store:verbana_platform"
          "src/editing:verbana_editing:verbana_store" "tools/conv:conv:")

function(layer_case name link expected)
  set(dir ${WORK}/${name})
  file(REMOVE_RECURSE ${dir})
  set(top "cmake_minimum_required(VERSION 3.25)\nproject(${name} LANGUAGES NONE)\ninclude(${VERBANA_CMAKE})\n")
  string(APPEND top "add_library(Qt6::Widgets INTERFACE IMPORTED)\n")
  foreach(lib IN LISTS _libs)
    string(REPLACE ":" ";" lib "${lib}")
    list(GET lib 0 folder)
    list(GET lib 1 target)
    list(GET lib 2 uses)
    file(WRITE ${dir}/${folder}/CMakeLists.txt
      "add_library(${target} INTERFACE)\ntarget_link_libraries(${target} INTERFACE ${uses})\n")
    string(APPEND top "add_subdirectory(${folder})\n")
  endforeach()
  string(APPEND top "set_target_properties(verbana_store PROPERTIES VERBANA_NO_WIDGETS ON)\n${link}\nverbana_check_layers()\n")
  file(WRITE ${dir}/CMakeLists.txt "${top}")
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${dir} -B ${dir}/build -G ${GENERATOR}
    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
  string(REGEX REPLACE "[ \n]+" " " out "${out}")
  if(expected STREQUAL "")
    if(NOT rc EQUAL 0)
      message(SEND_ERROR "${name}: the configure failed: ${out}")
    endif()
  elseif(rc EQUAL 0)
    message(SEND_ERROR "${name}: the configure passed; expected \"${expected}\"")
  else()
    string(FIND "${out}" "${expected}" at)
    if(at LESS 0)
      message(SEND_ERROR "${name}: expected \"${expected}\" in: ${out}")
    endif()
  endif()
endfunction()

layer_case(downwards "target_link_libraries(verbana_editing INTERFACE verbana_platform)" "")
layer_case(upwards "target_link_libraries(verbana_platform INTERFACE verbana_editing)"
  "src/store may reach only the layers below it, not src/editing: verbana_store -> verbana_platform -> verbana_editing")
layer_case(tools "target_link_libraries(verbana_platform INTERFACE conv)"
  "nothing under src/ may link conv from tools/conv/: verbana_editing -> verbana_store -> verbana_platform -> conv")
layer_case(widgets "target_link_libraries(verbana_platform INTERFACE Qt6::Widgets)"
  "verbana_store must not reach Qt6::Widgets: verbana_store -> verbana_platform -> Qt6::Widgets")
