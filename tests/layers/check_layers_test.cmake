# The layer check itself: a small tree that passes, then one bad include at a time planted in
# it, each of which must fail the check with its own message. Run by CTest (test
# "layers_check"):  cmake -DCHECKER=<cmake/check_layers.cmake> -DWORK=<empty folder> -P <this>
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE "${WORK}")
set(tree "${WORK}/tree")

function(put path text)
  file(WRITE "${tree}/${path}" "${text}\n")
endfunction()

function(run_check out_rc out_text)
  execute_process(COMMAND ${CMAKE_COMMAND} -DECF_SOURCE_DIR=${tree} -P ${CHECKER}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE o ERROR_VARIABLE e)
  set(${out_rc} "${rc}" PARENT_SCOPE)
  set(${out_text} "${o}${e}" PARENT_SCOPE)
endfunction()

# Every allowed form: beside the file, relative, angled, through the root, shared fi/ from a family.
put(core/common/money.h "#include <string>")
put(core/data/table.h "#include \"../common/money.h\"\n#include <common/money.h>")
put(core/printer/fi/fi_common.h "#include \"data/table.h\"\n#include \"../family_context.h\"")
put(core/printer/family_context.h "")
put(core/printer/printer.cpp "#include \"printer/daruma/daruma_lib.h\"\n#include \"sigtron/sigtron_lib.h\"")
put(core/printer/daruma/daruma_lib.h "#include \"daruma_lib.h\"\n#include \"../fi/fi_common.h\"")
put(core/printer/sigtron/sigtron_lib.h "")
put(core/printer/library/maker_signatures.h "#include <cstdint>")
put(core/printer/library/maker_protocol.h "#include \"printer/library/maker_signatures.h\"")
put(core/printer/library/maker_protocol.cpp "#include \"maker_protocol.h\"")
put(maker_host/main.cpp "#include \"printer/library/maker_protocol.h\"\n#include <ffi.h>")
put(cli/command.h "")
put(tests/t.h "")
put(cli/main.cpp "#include \"command.h\"\n#include \"printer/family_context.h\"")

run_check(rc text)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "the clean tree was refused:\n${text}")
endif()

# file, the include planted in it, a piece of the message it must give (after the file's folder)
set(cases
  "core/data/up.cpp|#include \"../printer/family_context.h\"|goes up from data to printer"
  "core/data/up.cpp|#include <printer/family_context.h>|goes up from data to printer"
  "core/common/up.cpp|#include \"../../cli/command.h\"|goes up from common to cli"
  "core/common/up.cpp|#include \"../../tests/t.h\"|is no file of a known layer"
  "core/common/up.cpp|#include \"nowhere.h\"|is no file of a known layer"
  "core/printer/sigtron/x.cpp|#include \"../daruma/daruma_lib.h\"|from the sigtron family into the daruma family"
  "core/printer/sigtron/x.cpp|#include <printer/daruma/daruma_lib.h>|from the sigtron family into the daruma family"
  "core/printer/fi/x.cpp|#include \"printer/sigtron/sigtron_lib.h\"|from the shared fi/ into the sigtron family"
  "maker_host/x.cpp|#include \"printer/family_context.h\"|not one of the helper process's own headers"
  "core/printer/library/maker_protocol.cpp|#include \"data/table.h\"|not one of the helper process's own headers"
  "core/spare/x.h||a folder with no place in the layer table")
foreach(c IN LISTS cases)
  string(REPLACE "|" ";" parts "${c}")
  list(GET parts 0 file)
  list(GET parts 1 include)
  list(GET parts 2 expected)
  set(kept "")
  if(EXISTS "${tree}/${file}")
    file(READ "${tree}/${file}" kept)
  endif()
  file(APPEND "${tree}/${file}" "${include}\n")
  run_check(rc text)
  string(REGEX REPLACE "/[^/]*$" "" folder "${file}")
  if(rc EQUAL 0 OR NOT text MATCHES "${folder}[^\n]*${expected}")
    message(FATAL_ERROR "'${include}' in ${file} was not refused with \"${expected}\":\n${text}")
  endif()
  if(kept STREQUAL "")
    file(REMOVE "${tree}/${file}")
    if(file MATCHES "^core/spare/")
      file(REMOVE_RECURSE "${tree}/core/spare")
    endif()
  else()
    file(WRITE "${tree}/${file}" "${kept}")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
list(LENGTH cases n)
message(STATUS "layers_check: the clean tree passes, ${n} planted includes are refused")
