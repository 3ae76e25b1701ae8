# The layer check: every #include "..." in core/, cli/ and gui/ must name a file of the same
# layer or of a layer below it. Run by CTest (test "layers"), or by hand:
#   cmake -DECF_SOURCE_DIR=<checkout> -P cmake/check_layers.cmake
# A layer is a folder of core/ (or the cli/ and gui/ front ends); LAYER_<name> lists the layers
# it may include, itself first. A layer not listed here is refused, so that a new folder comes
# with its place in the table.
cmake_minimum_required(VERSION 3.25)

if(NOT ECF_SOURCE_DIR)
  get_filename_component(ECF_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()

set(CORE_LAYERS common data printer coupon report access utilities app)

set(LAYER_common    common)
set(LAYER_data      data common)
set(LAYER_printer   printer data common)
set(LAYER_coupon    coupon printer data common)
set(LAYER_report    report common)
set(LAYER_access    access data common)
set(LAYER_utilities utilities access printer data common)
set(LAYER_app       app utilities access coupon printer data common)
# The front ends sit above the whole core and beside each other.
set(LAYER_cli       cli ${CORE_LAYERS})
set(LAYER_gui       gui ${CORE_LAYERS})

set(violations "")
set(checked 0)

function(check_file file layer)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  get_filename_component(dir "${file}" DIRECTORY)
  file(RELATIVE_PATH rel "${ECF_SOURCE_DIR}" "${file}")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*$" "\\1" inc "${line}")
    if(EXISTS "${dir}/${inc}")
      # Beside the including file: the same layer.
      continue()
    endif()
    string(REGEX MATCH "^[^/]+" first "${inc}")
    if(NOT first IN_LIST CORE_LAYERS OR NOT EXISTS "${ECF_SOURCE_DIR}/core/${inc}")
      list(APPEND violations "${rel}: \"${inc}\" is no file of a known layer")
      continue()
    endif()
    if(NOT first IN_LIST LAYER_${layer})
      list(APPEND violations "${rel}: \"${inc}\" goes up from ${layer} to ${first}")
    endif()
  endforeach()
  set(violations "${violations}" PARENT_SCOPE)
endfunction()

file(GLOB core_dirs LIST_DIRECTORIES true RELATIVE "${ECF_SOURCE_DIR}/core" "${ECF_SOURCE_DIR}/core/*")
foreach(d IN LISTS core_dirs)
  if(IS_DIRECTORY "${ECF_SOURCE_DIR}/core/${d}" AND NOT d IN_LIST CORE_LAYERS)
    list(APPEND violations "core/${d}: a folder with no place in the layer table")
  endif()
endforeach()

foreach(layer IN LISTS CORE_LAYERS cli gui)
  if(layer STREQUAL "cli" OR layer STREQUAL "gui")
    set(root "${ECF_SOURCE_DIR}/${layer}")
  else()
    set(root "${ECF_SOURCE_DIR}/core/${layer}")
  endif()
  file(GLOB_RECURSE files "${root}/*.h" "${root}/*.cpp")
  foreach(f IN LISTS files)
    check_file("${f}" ${layer})
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()

if(violations)
  list(LENGTH violations n)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "${n} include(s) against the layer order:\n  ${text}")
endif()
message(STATUS "layers: ${checked} files, every include looks down")
