# cmake -DOBJDUMP=<objdump> -DLIBRARY=<Latchwire.dll> -P CheckExports.cmake
# Fails unless the library exports exactly the ordinals 2 to 5 and no name: the program binds
# them by number, and a name in the table would let a caller bind by name instead.
execute_process(COMMAND ${OBJDUMP} -p ${LIBRARY} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} -p ${LIBRARY} failed")
endif()

string(REGEX MATCHALL "\\+base\\[ *[0-9]+\\]" entries "${dump}")
list(TRANSFORM entries REPLACE "[^0-9]" "")
if(NOT entries STREQUAL "2;3;4;5")
    message(FATAL_ERROR "Exported ordinals are '${entries}', expected 2;3;4;5")
endif()

string(REGEX MATCH "\\[Name Pointer/Ordinal\\] Table[ \t]+([0-9a-fA-F]+)" names "${dump}")
if(NOT names OR NOT CMAKE_MATCH_1 MATCHES "^0+$")
    message(FATAL_ERROR "The export table holds names:\n${dump}")
endif()
