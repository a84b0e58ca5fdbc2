# Cross-compiles the Windows console program with Debian's MinGW-w64 for
# CMAKE_SYSTEM_PROCESSOR (i686 or x86_64, set by the toolchain file that
# includes this one), and runs what it builds under Wine's loader for that
# processor: Debian's wine command would start the 32-bit loader first,
# whatever the program.
set(CMAKE_SYSTEM_NAME Windows)
set(triplet ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)

set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
    find_program(WINE_LOADER wine64 HINTS /usr/lib/wine)
else()
    find_program(WINE_LOADER wine HINTS /usr/lib/wine)
endif()
# Only a loader that this host really starts runs the tests.
include(${CMAKE_CURRENT_LIST_DIR}/emulator.cmake)
try_emulator(${WINE_LOADER})
