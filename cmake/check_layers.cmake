# The layer check: every #include, quoted or angled, in core/, cli/, gui/ and maker_host/ is
# resolved the way the compiler finds it (a quoted one first beside the including file, then
# in the include roots: core/, and cli/ or gui/ for their own files) and must name a file of
# the same layer or of a layer below it. Run by CTest (test "layers"), or by hand:
#   cmake -DECF_SOURCE_DIR=<checkout> -P cmake/check_layers.cmake
# A layer is a folder of core/ (or the cli/ and gui/ front ends); LAYER_<name> lists the layers
# it may include, itself first. A layer not listed here is refused, so that a new folder comes
# with its place in the table. Inside printer/ a family's folder includes no other family's
# folder, and fi/ (what two families share) includes none. The helper process (maker_host/)
# includes only its self-contained headers. An angled include that resolves to no file of the
# checkout is a system or library header and is not checked.
cmake_minimum_required(VERSION 3.25)

if(NOT ECF_SOURCE_DIR)
  get_filename_component(ECF_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
endif()
get_filename_component(ECF_SOURCE_DIR "${ECF_SOURCE_DIR}" ABSOLUTE)

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

# The printer families' folders, and the folder of what two of them share.
set(PRINTER_FAMILIES schalter sigtron mp20 sweda daruma bemafi32)
set(PRINTER_SHARED fi)

# The helper process is built from its own folder and these files of core/ alone; they
# include nothing else of the program.
set(MAKER_HOST_FILES
  core/printer/library/maker_protocol.h core/printer/library/maker_protocol.cpp
  core/printer/library/maker_signatures.h core/printer/library/maker_signatures.cpp)

set(violations "")
set(checked 0)

# The unit a file of the checkout (path relative to it) belongs to: a core layer, cli, gui,
# maker_host, or empty for none; and, inside printer/, the family or shared folder.
function(unit_of rel out_unit out_part)
  set(unit "")
  set(part "")
  if(rel MATCHES "^core/([^/]+)/")
    set(unit "${CMAKE_MATCH_1}")
    if(NOT unit IN_LIST CORE_LAYERS)
      set(unit "")
    elseif(unit STREQUAL "printer" AND rel MATCHES "^core/printer/([^/]+)/")
      set(part "${CMAKE_MATCH_1}")
    endif()
  elseif(rel MATCHES "^(cli|gui|maker_host)/")
    set(unit "${CMAKE_MATCH_1}")
  endif()
  set(${out_unit} "${unit}" PARENT_SCOPE)
  set(${out_part} "${part}" PARENT_SCOPE)
endfunction()

function(check_file file unit)
  file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]")
  get_filename_component(dir "${file}" DIRECTORY)
  file(RELATIVE_PATH rel "${ECF_SOURCE_DIR}" "${file}")
  unit_of("${rel}" own_unit own_part)
  set(roots "${ECF_SOURCE_DIR}/core")
  if(unit STREQUAL "cli" OR unit STREQUAL "gui")
    list(PREPEND roots "${ECF_SOURCE_DIR}/${unit}")
  endif()
  foreach(line IN LISTS lines)
    string(REGEX MATCH "^[ \t]*#[ \t]*include[ \t]*([\"<])([^\">]*)[\">]" _ "${line}")
    set(kind "${CMAKE_MATCH_1}")
    set(inc "${CMAKE_MATCH_2}")
    set(candidates "")
    if(kind STREQUAL "\"")
      list(APPEND candidates "${dir}")
    endif()
    list(APPEND candidates ${roots})
    set(target "")
    foreach(c IN LISTS candidates)
      get_filename_component(abs "${c}/${inc}" ABSOLUTE)
      if(EXISTS "${abs}" AND NOT IS_DIRECTORY "${abs}")
        set(target "${abs}")
        break()
      endif()
    endforeach()
    if(target STREQUAL "")
      if(kind STREQUAL "\"")
        list(APPEND violations "${rel}: \"${inc}\" is no file of a known layer")
      endif()
      continue()
    endif()
    file(RELATIVE_PATH trel "${ECF_SOURCE_DIR}" "${target}")
    unit_of("${trel}" to_unit to_part)

    if(unit STREQUAL "maker_host")
      if(NOT trel IN_LIST MAKER_HOST_FILES AND NOT to_unit STREQUAL "maker_host")
        list(APPEND violations "${rel}: \"${inc}\" (${trel}) is not one of the helper process's own headers")
      endif()
      continue()
    endif()
    if(rel IN_LIST MAKER_HOST_FILES AND NOT trel IN_LIST MAKER_HOST_FILES)
      list(APPEND violations "${rel}: \"${inc}\" (${trel}) is not one of the helper process's own headers")
      continue()
    endif()
    if(to_unit STREQUAL "" OR to_unit STREQUAL "maker_host")
      list(APPEND violations "${rel}: \"${inc}\" (${trel}) is no file of a known layer")
      continue()
    endif()
    if(NOT to_unit IN_LIST LAYER_${unit})
      list(APPEND violations "${rel}: \"${inc}\" goes up from ${unit} to ${to_unit}")
      continue()
    endif()
    if(to_part IN_LIST PRINTER_FAMILIES AND NOT to_part STREQUAL own_part)
      if(own_part IN_LIST PRINTER_FAMILIES)
        list(APPEND violations "${rel}: \"${inc}\" goes from the ${own_part} family into the ${to_part} family")
      elseif(own_part IN_LIST PRINTER_SHARED)
        list(APPEND violations "${rel}: \"${inc}\" goes from the shared ${own_part}/ into the ${to_part} family")
      endif()
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

foreach(unit IN LISTS CORE_LAYERS ITEMS cli gui maker_host)
  if(unit IN_LIST CORE_LAYERS)
    set(root "${ECF_SOURCE_DIR}/core/${unit}")
  else()
    set(root "${ECF_SOURCE_DIR}/${unit}")
  endif()
  file(GLOB_RECURSE files "${root}/*.h" "${root}/*.cpp")
  foreach(f IN LISTS files)
    check_file("${f}" ${unit})
    math(EXPR checked "${checked} + 1")
  endforeach()
endforeach()

if(violations)
  list(LENGTH violations n)
  list(JOIN violations "\n  " text)
  message(FATAL_ERROR "${n} include(s) against the layer order:\n  ${text}")
endif()
message(STATUS "layers: ${checked} files, every include looks down")
