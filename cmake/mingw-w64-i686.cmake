# The 32-bit Windows program; run under Wine's 32-bit loader, from Wine 11
# on its only one.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-w64-mingw32)
set(emulators wine)
set(emulator_packages wine wine32:i386)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
