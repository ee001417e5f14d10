# Cross-building for 64-bit Windows with Debian's MinGW-w64 (the POSIX-thread
# variant, which has std::thread and the C++20 library in full). Programs built
# with it run here under Wine, which CMake uses to run them (tests, discovery).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MORVANE_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MORVANE_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MORVANE_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MORVANE_MINGW_TRIPLET}-windres)
set(CMAKE_AR ${MORVANE_MINGW_TRIPLET}-gcc-ar-posix CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB ${MORVANE_MINGW_TRIPLET}-gcc-ranlib-posix CACHE FILEPATH "Ranlib")

# Libraries and headers come from the MinGW tree (and from whatever
# CMAKE_PREFIX_PATH adds, such as the Windows Qt); programs from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MORVANE_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
set(CMAKE_STRIP ${MORVANE_MINGW_TRIPLET}-strip CACHE FILEPATH "Strip")

# Prefixes given on the command line (the Windows Qt, the cross-built
# GoogleTest) lie outside the MinGW tree: they are roots of their own, so the
# ONLY modes above search them as they are.
if(CMAKE_PREFIX_PATH)
  list(APPEND CMAKE_FIND_ROOT_PATH ${CMAKE_PREFIX_PATH})
endif()
