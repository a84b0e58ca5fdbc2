# The download for Windows users: tavoScribe.exe with README.txt and
# LICENSE.txt (CR LF, for Notepad) and the manual page as tavoScribe.html,
# in a zip whose bytes depend only on theirs: entries in a fixed order with
# fixed dates and permissions, so two builds of one commit give the same
# file. Needs Info-ZIP zip and mandoc; without them the program still
# builds, and only this target is missing.
find_program(ZIP_PROGRAM zip)
find_program(MANDOC mandoc)
if(NOT ZIP_PROGRAM OR NOT MANDOC)
    message(STATUS "zip or mandoc not found: no zip target")
    return()
endif()
set(TAVO_ZIP ${CMAKE_BINARY_DIR}/tavoScribe-${PROJECT_VERSION}-win${bits}.zip)
add_custom_command(OUTPUT ${TAVO_ZIP}
    COMMAND ${CMAKE_COMMAND} -DZIP_PROGRAM=${ZIP_PROGRAM} -DMANDOC=${MANDOC}
            -DEXE=$<TARGET_FILE:tavoScribe> -DSOURCE=${CMAKE_SOURCE_DIR}
            -DZIP=${TAVO_ZIP} -P ${CMAKE_SOURCE_DIR}/cmake/make_zip.cmake
    DEPENDS tavoScribe ${CMAKE_SOURCE_DIR}/windows/README.txt
            ${CMAKE_SOURCE_DIR}/man/tavoScribe.1 ${CMAKE_SOURCE_DIR}/LICENSE
            ${CMAKE_SOURCE_DIR}/cmake/make_zip.cmake
    VERBATIM)
add_custom_target(zip ALL DEPENDS ${TAVO_ZIP})
