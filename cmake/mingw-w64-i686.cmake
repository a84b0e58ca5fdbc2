# The 32-bit Windows console program, g++-mingw-w64-i686; run under Wine's
# loader for 32-bit programs, which from Wine 11 on is its only loader.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(triplet i686-w64-mingw32)
set(emulators wine)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
