# What the cross builds share. Each toolchain file sets the system, the
# processor and `triplet`, as Debian's cross compilers name it; a Windows one
# also `emulator_needs`, its Wine loader as tests/need takes it.
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

if(CMAKE_SYSTEM_NAME STREQUAL Linux)
    # qemu-user names its programs after the triplet's processor; it runs the
    # unit tests with that system's C library.
    string(REGEX MATCH "^[^-]+" cpu ${triplet})
    set(emulator_needs qemu-user=qemu-${cpu})
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${cpu} -L /usr/${triplet})
else()
    string(REGEX REPLACE "^.*=" "" CMAKE_CROSSCOMPILING_EMULATOR ${emulator_needs})
endif()
