# The 32-bit Windows program; run under Wine's 32-bit loader, from Wine 11
# on its only one. Debian's wine on the PATH would start a 32-bit program
# with the 64-bit loader where wine32 is missing, so the loader by its path.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-w64-mingw32)
set(emulators /usr/lib/wine/wine)
set(emulator_packages wine wine32:i386)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
