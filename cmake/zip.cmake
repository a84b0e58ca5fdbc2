# The download for Windows users: tavoScribe.exe and the README in a zip
# whose bytes depend only on theirs. Entries are stored in a fixed order
# with fixed dates and permissions, so two builds of one commit give the
# same file and its SHA-256 can be published.
set(TAVO_ZIP ${CMAKE_BINARY_DIR}/tavoScribe-${PROJECT_VERSION}-win32.zip)
add_custom_command(OUTPUT ${TAVO_ZIP}
    COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:tavoScribe>
            -DREADME=${CMAKE_SOURCE_DIR}/README.md -DZIP=${TAVO_ZIP}
            -P ${CMAKE_SOURCE_DIR}/cmake/make_zip.cmake
    DEPENDS tavoScribe ${CMAKE_SOURCE_DIR}/README.md
            ${CMAKE_SOURCE_DIR}/cmake/make_zip.cmake
    VERBATIM)
add_custom_target(zip ALL DEPENDS ${TAVO_ZIP})
