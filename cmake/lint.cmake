# Static analysis and formatting as tests: clang-tidy (.clang-tidy) and
# cppcheck over the tool's sources, clang-format over every C++ file, mandoc
# over the manual page. Each passes only with zero findings.
find_program(CLANG_TIDY clang-tidy)
find_program(CPPCHECK cppcheck)
find_program(CLANG_FORMAT clang-format)

file(GLOB_RECURSE all_cxx CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/*.cpp ${CMAKE_SOURCE_DIR}/src/*.h
    ${CMAKE_SOURCE_DIR}/tests/*.cpp ${CMAKE_SOURCE_DIR}/tests/*.h
    ${CMAKE_SOURCE_DIR}/fuzz/*.cpp)

if(CLANG_TIDY)
    add_test(NAME clang_tidy
        COMMAND ${CLANG_TIDY} -p ${CMAKE_BINARY_DIR} --quiet ${TAVO_SOURCES}
                ${CMAKE_SOURCE_DIR}/src/cli/main.cpp
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
else()
    missing_tool(clang_tidy clang-tidy)
endif()
if(CPPCHECK)
    # From 2.11 on, cppcheck follows only so many branches unless told to
    # follow all, and says so in a notice that is no finding about the code.
    execute_process(COMMAND ${CPPCHECK} --version OUTPUT_VARIABLE cppcheck_version)
    string(REGEX MATCH "[0-9]+\\.[0-9]+" cppcheck_version "${cppcheck_version}")
    if(cppcheck_version VERSION_GREATER_EQUAL 2.11)
        set(cppcheck_level --check-level=exhaustive)
    endif()
    add_test(NAME cppcheck
        COMMAND ${CPPCHECK} --enable=warning,style,performance,portability
                --std=c++17 --error-exitcode=1 --suppress=missingIncludeSystem
                ${cppcheck_level} --quiet -I src -I tests src fuzz
        WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
else()
    missing_tool(cppcheck cppcheck)
endif()
if(CLANG_FORMAT)
    add_test(NAME clang_format
        COMMAND ${CLANG_FORMAT} --dry-run --Werror ${all_cxx})
else()
    missing_tool(clang_format clang-format)
endif()

# The manual page: mdoc with no finding at warning level or above.
find_program(MANDOC mandoc)
if(MANDOC)
    add_test(NAME mandoc_lint
        COMMAND ${MANDOC} -T lint -W warning ${CMAKE_SOURCE_DIR}/man/tavoScribe.1)
else()
    missing_tool(mandoc_lint mandoc)
endif()
