# Fails when a core source includes a Qt header or the core's test binary links Qt.
file(GLOB_RECURSE sources
    ${SOURCE_DIR}/state/*.h ${SOURCE_DIR}/state/*.cpp
    ${SOURCE_DIR}/protocol/*.h ${SOURCE_DIR}/protocol/*.cpp
    ${SOURCE_DIR}/supervision/*.h ${SOURCE_DIR}/supervision/*.cpp)
list(LENGTH sources count)
if(count EQUAL 0)
    message(FATAL_ERROR "no core sources found under ${SOURCE_DIR}")
endif()
foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](Q|qt)")
    if(includes)
        message(FATAL_ERROR "${source} includes Qt: ${includes}")
    endif()
endforeach()
execute_process(COMMAND ldd ${BINARY} OUTPUT_VARIABLE linked RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "ldd failed on ${BINARY}")
endif()
if(linked MATCHES "libQt")
    message(FATAL_ERROR "${BINARY} links Qt:\n${linked}")
endif()
message(STATUS "${count} core sources, no Qt")
