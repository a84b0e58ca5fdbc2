# Linux on 32-bit ARM (ARMv7, hard float: Debian's armhf),
# g++-arm-linux-gnueabihf; run under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR armv7)
set(triplet arm-linux-gnueabihf)
set(emulators qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/cross.cmake)
