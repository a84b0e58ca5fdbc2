# The 64-bit Windows program; run under wine64 up to Wine 10, and under the
# single wine loader from Wine 11 on.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triplet x86_64-w64-mingw32)
set(emulator_needs wine wine64=/usr/lib/wine/wine64)
if(NOT EXISTS /usr/lib/wine/wine64 AND EXISTS /usr/lib/wine/wine)
    set(emulator_needs wine wine=/usr/lib/wine/wine)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
