# Cross-build for 64-bit Windows with Debian's mingw-w64 (the -posix compilers, for std::thread and
# the other C++ threading pieces). The result runs under wine, which also runs the tests:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SALDOR_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SALDOR_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SALDOR_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SALDOR_MINGW_TRIPLET}-windres)

# Libraries and headers come from the mingw-w64 sysroot only; programs run on the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${SALDOR_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in statically, so the .exe needs no DLL beyond Windows' own. FindODBC links
# -Wl,-Bstatic -lodbc32 -Wl,-Bdynamic; ending the link line static keeps libstdc++, libgcc and
# winpthread from being taken as DLLs after it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_LINK_SEARCH_END_STATIC ON)

# Test programs and discovery run under wine.
find_program(SALDOR_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SALDOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SALDOR_WINE})
endif()
