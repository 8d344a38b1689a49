# Fails when a source file includes a header its library may not use, so
# that the direction between the subsystems holds in every build:
#   cmake -DSOURCE_DIR=... -P cmake/CheckLayering.cmake
#
# A header's part is its first folder, or for the platform's helpers and
# adapters "platform/support", "platform/emulated", "platform/win32" and
# "platform/native"; "platform" alone is the ports.  Each part may include
# itself and the parts listed for it.
cmake_minimum_required(VERSION 3.25)

set(allowed_platform/support "")
set(allowed_platform platform/support)
set(allowed_lha platform platform/support)
set(allowed_logo lha platform platform/support)
set(allowed_flash platform platform/support)
set(allowed_biosfile flash platform platform/support)
set(allowed_app logo lha biosfile flash platform platform/support resources)
set(allowed_platform/emulated flash biosfile platform platform/support)
set(allowed_platform/native logo platform platform/support)
# The Windows program's entry point puts everything together.
set(allowed_platform/win32 app logo biosfile flash platform platform/support platform/emulated resources)

function(part_of path result)
  if(path MATCHES "^platform/(support|emulated|win32|native)/")
    set(${result} "platform/${CMAKE_MATCH_1}" PARENT_SCOPE)
  elseif(path MATCHES "^([a-z]+)/")
    set(${result} "${CMAKE_MATCH_1}" PARENT_SCOPE)
  else()
    set(${result} "" PARENT_SCOPE)
  endif()
endfunction()

set(problems "")
foreach(folder lha logo flash biosfile app platform platform/support platform/emulated platform/native platform/win32)
  file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/${folder}/*.h ${SOURCE_DIR}/${folder}/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${SOURCE_DIR}/${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]+\"")
    foreach(line ${includes})
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]+\"([^\"]+)\".*" "\\1" header "${line}")
      part_of("${header}" part)
      if(part STREQUAL "" OR part STREQUAL folder)
        continue()
      endif()
      if(NOT part IN_LIST allowed_${folder})
        string(APPEND problems "  ${source}: #include \"${header}\" (${folder} may not use ${part})\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(problems)
  message(FATAL_ERROR "Includes against the direction of the libraries:\n${problems}")
endif()
