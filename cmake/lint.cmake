# The analysers as tests, each passing only with zero findings.
file(GLOB tool_cxx CONFIGURE_DEPENDS src/*/*.cpp)
file(GLOB_RECURSE all_cxx CONFIGURE_DEPENDS src/*.cpp src/*.h tests/*.cpp tests/*.h fuzz/*.cpp)

needs_test(clang_tidy clang-tidy -- clang-tidy -p ${CMAKE_BINARY_DIR} --quiet ${tool_cxx})
# From 2.11 on, cppcheck follows all branches only when told, or says so.
execute_process(COMMAND cppcheck --version OUTPUT_VARIABLE cppcheck_version ERROR_QUIET)
string(REGEX MATCH "[0-9]+\\.[0-9]+" cppcheck_version "${cppcheck_version}")
if(cppcheck_version VERSION_GREATER_EQUAL 2.11)
    set(cppcheck_level --check-level=exhaustive)
endif()
needs_test(cppcheck cppcheck -- cppcheck --enable=warning,style,performance,portability
    --std=c++17 --error-exitcode=1 --suppress=missingIncludeSystem
    ${cppcheck_level} --quiet -I src -I tests src fuzz)
needs_test(clang_format clang-format -- clang-format --dry-run --Werror ${all_cxx})
needs_test(mandoc_lint mandoc -- mandoc -T lint -W warning man/tavoScribe.1 man/tavoScribe-cards.1)

# The rule's own verdicts, on a host made to answer each way.
add_test(NAME need_verdicts COMMAND ${CMAKE_SOURCE_DIR}/tests/need_verdicts.sh)
