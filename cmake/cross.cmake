# The cross builds, with Debian's compilers for the GNU triplet that the
# preset names, and the emulator of their tests as tests/need takes it.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES triplet)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${triplet})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)
set(CMAKE_RC_COMPILER ${triplet}-windres)

if(triplet MATCHES mingw32)
    set(CMAKE_SYSTEM_NAME Windows)
    # Wine's loader by its path: Debian's wine on the PATH would start a
    # 32-bit program with the 64-bit loader where wine32 is missing. From
    # Wine 11 on, the one loader wine starts 64-bit programs too.
    if(CMAKE_SYSTEM_PROCESSOR STREQUAL i686)
        set(emulator_needs wine wine32:i386=/usr/lib/wine/wine)
    elseif(EXISTS /usr/lib/wine/wine64 OR NOT EXISTS /usr/lib/wine/wine)
        set(emulator_needs wine wine64=/usr/lib/wine/wine64)
    else()
        set(emulator_needs wine wine=/usr/lib/wine/wine)
    endif()
    string(REGEX REPLACE "^.*=" "" CMAKE_CROSSCOMPILING_EMULATOR ${emulator_needs})
else()
    # qemu-user names its programs after the triplet's processor; it runs the
    # unit tests with that system's C library.
    set(CMAKE_SYSTEM_NAME Linux)
    set(emulator_needs qemu-user=qemu-${CMAKE_SYSTEM_PROCESSOR})
    set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${CMAKE_SYSTEM_PROCESSOR} -L /usr/${triplet})
endif()
