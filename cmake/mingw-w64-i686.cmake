# The 32-bit Windows program; run under Wine's 32-bit loader, by its path:
# Debian's wine on the PATH would start it with the 64-bit loader where
# wine32 is missing.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-w64-mingw32)
set(emulator_needs wine wine32:i386=/usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
