# Fails when a source file includes a header from a floor that is not below
# its own, so that the direction between the subsystems holds in every build:
#   cmake -DSOURCE_DIR=... -P cmake/CheckLayering.cmake
#
# Folders are floors.  A file's part is its first folder ("platform/support"
# for the helpers); each part may include itself and the parts of the floors
# below its own, never another part of its own floor (flash and logo never
# use each other).  A header without a folder (the generated VarlinVersion.h)
# is let through; one from a folder outside the floors (tests/) counts as
# above them all.  The uninstall library uses nothing of ours.
cmake_minimum_required(VERSION 3.25)

# Lowest first; parts of one floor are separated by "|".
set(floors
  "platform/support"
  "platform|resources"
  "lha"
  "award"
  "flash|logo"
  "biosfile"
  "app"
  "hosts"
  "cli")

set(index 0)
set(floor_names "")
foreach(floor ${floors})
  string(REPLACE "|" ";" parts "${floor}")
  foreach(part ${parts})
    set(floor_of_${part} ${index})
  endforeach()
  string(REPLACE "|" ", " names "${floor}")
  list(APPEND floor_names "${names}")
  math(EXPR index "${index} + 1")
endforeach()
list(JOIN floor_names " < " floor_order)

function(part_of path result)
  if(path MATCHES "^platform/support/")
    set(${result} "platform/support" PARENT_SCOPE)
  elseif(path MATCHES "^(resources|samples)/generator/")
    set(${result} "tools" PARENT_SCOPE)
  elseif(path MATCHES "^([a-z0-9]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

file(GLOB_RECURSE sources RELATIVE ${SOURCE_DIR}
  ${SOURCE_DIR}/platform/*.h ${SOURCE_DIR}/platform/*.cpp ${SOURCE_DIR}/resources/*.h
  ${SOURCE_DIR}/lha/*.h ${SOURCE_DIR}/lha/*.cpp ${SOURCE_DIR}/award/*.h ${SOURCE_DIR}/award/*.cpp
  ${SOURCE_DIR}/flash/*.h ${SOURCE_DIR}/flash/*.cpp ${SOURCE_DIR}/logo/*.h ${SOURCE_DIR}/logo/*.cpp
  ${SOURCE_DIR}/biosfile/*.h ${SOURCE_DIR}/biosfile/*.cpp ${SOURCE_DIR}/app/*.h ${SOURCE_DIR}/app/*.cpp
  ${SOURCE_DIR}/hosts/*.h ${SOURCE_DIR}/hosts/*.cpp ${SOURCE_DIR}/cli/*.h ${SOURCE_DIR}/cli/*.cpp
  ${SOURCE_DIR}/uninstall/*.h ${SOURCE_DIR}/uninstall/*.cpp)

set(problems "")
foreach(source ${sources})
  part_of("${source}" own)
  if(own STREQUAL "tools")
    continue()
  endif()
  file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
  foreach(line ${includes})
    string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
    part_of("${header}" part)
    if(part STREQUAL "" OR part STREQUAL own)
      continue()
    endif()
    if(own STREQUAL "uninstall")
      string(APPEND problems "  ${source}: #include \"${header}\" (the uninstall library uses nothing of ours)\n")
    elseif(NOT DEFINED floor_of_${part} OR NOT floor_of_${part} LESS floor_of_${own})
      string(APPEND problems "  ${source}: #include \"${header}\" (${own} may not use ${part}: not a floor below it)\n")
    endif()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the floors (${floor_order}):\n${problems}")
endif()
