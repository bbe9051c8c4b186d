# cmake -DWINDRES=i686-w64-mingw32-windres -DBINARIES="a.dll;b.exe" -DEXPECTED="s1|s2;s3"
#       -P check_version_resource.cmake
# Each binary's version resource, as windres writes it back as resource script, must hold each
# of its texts (EXPECTED: one entry per binary, its texts separated by |).
cmake_minimum_required(VERSION 3.25)

list(LENGTH BINARIES count)
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  list(GET BINARIES ${i} binary)
  list(GET EXPECTED ${i} texts)
  execute_process(COMMAND ${WINDRES} -i ${binary} -J coff -O rc
                  OUTPUT_VARIABLE rc_text RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT rc_text MATCHES "VERSIONINFO")
    message(FATAL_ERROR "${binary}: no version resource")
  endif()
  string(REPLACE "|" ";" texts "${texts}")
  foreach(text IN LISTS texts)
    string(FIND "${rc_text}" "${text}" at)
    if(at EQUAL -1)
      message(SEND_ERROR "${binary}: the version resource lacks ${text}:\n${rc_text}")
    endif()
  endforeach()
  message(STATUS "${binary}: version resource as expected")
endforeach()
