# cmake -DLIBRARY=libfennick.so -DDEF=fennick.def -DHEADER=fennick.h -P check_exports.cmake
#
# The library's dynamic symbol table must hold exactly the exports named in the module
# definition file, whose ordinals run from 1 in the byte order of the names, and the public
# header must declare every one of them.

find_program(NM nm REQUIRED)
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE nm_out RESULT_VARIABLE nm_rc)
if(NOT nm_rc EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()

set(defined "")
string(REPLACE "\n" ";" nm_lines "${nm_out}")
foreach(line IN LISTS nm_lines)
  if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) ([^ ]+)$")
    if(NOT CMAKE_MATCH_1 STREQUAL "T")
      message(SEND_ERROR "not a function: ${line}")
    endif()
    list(APPEND defined ${CMAKE_MATCH_2})
  elseif(NOT line STREQUAL "")
    message(SEND_ERROR "unexpected nm line: ${line}")
  endif()
endforeach()
list(SORT defined COMPARE STRING)

file(STRINGS ${DEF} def_lines REGEX "^ +[A-Za-z]+ +@[0-9]+$")
set(expected "")
set(ordinal 0)
foreach(line IN LISTS def_lines)
  string(REGEX MATCH "^ +([A-Za-z]+) +@([0-9]+)$" _ "${line}")
  math(EXPR ordinal "${ordinal} + 1")
  if(NOT CMAKE_MATCH_2 EQUAL ordinal)
    message(SEND_ERROR "${CMAKE_MATCH_1} has ordinal ${CMAKE_MATCH_2}, expected ${ordinal}")
  endif()
  list(APPEND expected ${CMAKE_MATCH_1})
endforeach()
set(sorted ${expected})
list(SORT sorted COMPARE STRING)
if(NOT sorted STREQUAL expected)
  message(SEND_ERROR "the ordinals of ${DEF} are not in the byte order of the names")
endif()
list(LENGTH expected count)
if(NOT count EQUAL 35)
  message(SEND_ERROR "${DEF} names ${count} exports, not 35")
endif()

if(NOT defined STREQUAL sorted)
  message(SEND_ERROR "exported:\n  ${defined}\nexpected:\n  ${sorted}")
endif()

file(READ ${HEADER} header)
foreach(name IN LISTS expected)
  if(NOT header MATCHES "FENNICK_CALL ${name}\\(")
    message(SEND_ERROR "${HEADER} does not declare ${name}")
  endif()
endforeach()
message(STATUS "${count} exports, nothing else")
