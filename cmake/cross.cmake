# What the cross builds share. Each toolchain file sets the system, the
# processor, `triplet` (as Debian's cross compilers name it) and `emulators`.
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine's loaders live in /usr/lib/wine, off the PATH, where Debian's wine
# starts the 32-bit one first. The unit tests find that system's C library.
find_program(EMULATOR NAMES ${emulators} NAMES_PER_DIR HINTS /usr/lib/wine)
if(EMULATOR AND CMAKE_SYSTEM_NAME STREQUAL Linux)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${EMULATOR} -L /usr/${triplet})
elseif(EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${EMULATOR})
endif()
