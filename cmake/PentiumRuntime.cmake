# The 32-bit Windows binaries run on Pentium MMX and K6-2 processors, which
# lack the Pentium Pro's conditional moves.  Our own code is compiled for
# the i586 (see mingw32.cmake); the toolchain's precompiled start-up and C++
# run-time code is not, so the binaries take the few pieces they need from
# hosts/win32/pentium instead, and a linker map records what else each
# one pulls in (the import check names the objects from it).
#
# varlin_pentium_runtime(TARGET PROGRAM|LIBRARY)
function(varlin_pentium_runtime target kind)
  if(NOT (WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4))
    return()
  endif()
  set(runtime ${PROJECT_SOURCE_DIR}/hosts/win32/pentium)
  target_sources(${target} PRIVATE ${runtime}/PseudoRelocations.cpp)
  target_link_options(${target} PRIVATE -Wl,--disable-auto-import "-Wl,-Map=$<TARGET_FILE:${target}>.map")
  if(kind STREQUAL "PROGRAM")
    target_sources(${target} PRIVATE ${runtime}/ProgramStart.cpp ${runtime}/CxxSupport.cpp)
    target_link_options(${target} PRIVATE -nostartfiles)
  endif()
endfunction()
