# The analysers as tests, each passing only with zero findings.
file(GLOB_RECURSE all_cxx CONFIGURE_DEPENDS src/*.cpp src/*.h tests/*.cpp tests/*.h fuzz/*.cpp)

# lint_test(NAME PACKAGE PROGRAM ARGS...): PROGRAM from Debian's PACKAGE.
function(lint_test name package program)
    find_program(${name}_program ${program})
    if(${name}_program)
        add_test(NAME ${name} COMMAND ${${name}_program} ${ARGN}
            WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
    else()
        cannot_run(${name} "missing: ${package}" ${package})
    endif()
endfunction()

lint_test(clang_tidy clang-tidy clang-tidy -p ${CMAKE_BINARY_DIR} --quiet
    ${TAVO_SOURCES} src/cli/main.cpp)
# From 2.11 on, cppcheck follows all branches only when told, or says so.
execute_process(COMMAND cppcheck --version OUTPUT_VARIABLE cppcheck_version ERROR_QUIET)
string(REGEX MATCH "[0-9]+\\.[0-9]+" cppcheck_version "${cppcheck_version}")
if(cppcheck_version VERSION_GREATER_EQUAL 2.11)
    set(cppcheck_level --check-level=exhaustive)
endif()
lint_test(cppcheck cppcheck cppcheck --enable=warning,style,performance,portability
    --std=c++17 --error-exitcode=1 --suppress=missingIncludeSystem
    ${cppcheck_level} --quiet -I src -I tests src fuzz)
lint_test(clang_format clang-format clang-format --dry-run --Werror ${all_cxx})
lint_test(mandoc_lint mandoc mandoc -T lint -W warning man/tavoScribe.1)

# In scratch trees: without valgrind, configuring goes on and the table under
# memcheck fails, naming it; fuzz/run.sh fails, naming a target not built.
add_test(NAME without_valgrind COMMAND sh -c "\"$0\" -S \"$1\" -B no-valgrind -DTAVO_MEMCHECK=ON -DVALGRIND= >/dev/null &&
    \"$2\" --test-dir no-valgrind -R memcheck --output-on-failure" ${CMAKE_COMMAND} ${CMAKE_SOURCE_DIR} ${CMAKE_CTEST_COMMAND})
add_test(NAME fuzz_not_built COMMAND sh -c "rm -rf no-fuzz && mkdir no-fuzz && cp -R \"$0/fuzz\" no-fuzz &&
    no-fuzz/fuzz/run.sh && echo 'fuzz/run.sh exited 0'" ${CMAKE_SOURCE_DIR})
set_tests_properties(without_valgrind PROPERTIES PASS_REGULAR_EXPRESSION "missing: valgrind")
set_tests_properties(fuzz_not_built PROPERTIES PASS_REGULAR_EXPRESSION "check_digit_fuzz is not built"
    FAIL_REGULAR_EXPRESSION "exited 0")
