# try_emulator(PROGRAM): runs the cross-built programs under PROGRAM only
# when this host really starts it; otherwise EMULATOR_CANNOT_START says why,
# and the tests that need it skip with that reason. A kernel that runs no
# 32-bit code (built without IA-32 emulation, or booted with
# ia32_emulation=0) cannot start Wine's 32-bit loader. Started through the
# shell, which says "Exec format error" where the C library would hand the
# program to the shell as a script.
function(try_emulator program)
    if(NOT program)
        return()
    endif()
    execute_process(COMMAND sh -c "exec \"$1\" --version" probe ${program}
        RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE why
        ERROR_STRIP_TRAILING_WHITESPACE)
    if(status EQUAL 0)
        set(CMAKE_CROSSCOMPILING_EMULATOR ${program} PARENT_SCOPE)
    else()
        string(JOIN ": " why ${status} ${why})
        set(EMULATOR_CANNOT_START "this host cannot start ${program} (${why})"
            PARENT_SCOPE)
    endif()
endfunction()
