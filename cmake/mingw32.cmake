# Cross-compiles the Windows programs with mingw-w64 (i686).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The programs run on Pentium MMX and K6-2 processors: no conditional moves
# and no SSE (cmake/PentiumRuntime.cmake replaces the toolchain's precompiled
# pieces that have them).  Without exceptions, run-time type information and
# guarded static initialisation (the program has one thread), the C++
# library's unwinder and type-information code stay out of the link.
set(CMAKE_C_FLAGS_INIT "-march=i586")
set(CMAKE_CXX_FLAGS_INIT "-march=i586 -fno-exceptions -fno-rtti -fno-threadsafe-statics")
# The programs must run on a machine without the compiler's runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
