# What the cross builds share. Each toolchain file sets the system, the
# processor, `triplet` (as Debian's cross compilers name it), `emulators` and
# the Debian packages that bring them, `emulator_packages`.
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(EMULATOR NAMES ${emulators} NAMES_PER_DIR)
# qemu-user runs the unit tests with that system's C library.
if(EMULATOR AND CMAKE_SYSTEM_NAME STREQUAL Linux)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${EMULATOR} -L /usr/${triplet})
elseif(EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${EMULATOR})
endif()
