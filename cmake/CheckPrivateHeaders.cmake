# cmake -DSOURCE_DIR=<tree> -DHEADERS=<folder/header;...> -P CheckPrivateHeaders.cmake
# Fails, naming every offender, when a source file includes a private header of a folder it does
# not belong to. A header of <module>/... may be included from <module>/, tests/<module>/ and
# bench/<module>/ only. Build folders, hidden folders and node_modules are not looked at.
cmake_minimum_required(VERSION 3.25)

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.cpp ${SOURCE_DIR}/*.h)
list(FILTER sources EXCLUDE REGEX "(^|/)(build[^/]*|\\.[^/]*|node_modules)/")

set(offences)
foreach(source ${sources})
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[^\"]*\"([^\"]+)\".*$" "\\1" included "${line}")
    if(NOT included IN_LIST HEADERS)
      continue()
    endif()
    string(REGEX REPLACE "/.*$" "" module "${included}")
    if(NOT source MATCHES "^(tests/|bench/)?${module}/")
      list(APPEND offences "  ${source} includes ${included}")
    endif()
  endforeach()
endforeach()

if(offences)
  list(JOIN offences "\n" report)
  message(FATAL_ERROR "Private headers included from outside their folder:\n${report}")
endif()
list(LENGTH HEADERS count)
message(STATUS "${count} private headers, each included only from its own folder")
