# The 64-bit Windows console program, g++-mingw-w64-x86-64; run under Wine's
# 64-bit loader: wine64 up to Wine 10, the single wine from Wine 11 on.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(triplet x86_64-w64-mingw32)
set(emulators wine64 wine)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
