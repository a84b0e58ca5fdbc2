# Cross-compiles the Linux program with Debian's cross compiler for
# `triplet` (set by the toolchain file that includes this one), and runs
# what it builds under qemu-user's `qemu` for that processor.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(QEMU ${qemu})
include(${CMAKE_CURRENT_LIST_DIR}/emulator.cmake)
try_emulator(${QEMU})
# Dynamically linked test programs find that processor's C library, from
# the cross compiler's packages.
if(CMAKE_CROSSCOMPILING_EMULATOR)
    list(APPEND CMAKE_CROSSCOMPILING_EMULATOR -L /usr/${triplet})
endif()
