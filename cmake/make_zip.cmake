# cmake -DZIP_PROGRAM=... -DMANDOC=... -DEXE=... -DSOURCE=... -DZIP=... -P make_zip.cmake
# Info-ZIP with -X stores no owner and no access or change times, only each
# entry's DOS date: the staged copies carry the release commit's time
# (SOURCE_DATE_EPOCH) or else a fixed one, in UTC.
find_program(TOUCH_PROGRAM touch REQUIRED)
get_filename_component(stage ${ZIP} DIRECTORY)
set(stage ${stage}/zip-stage)
file(REMOVE_RECURSE ${stage} ${ZIP})
file(MAKE_DIRECTORY ${stage})
file(COPY ${EXE} DESTINATION ${stage}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
foreach(doc windows/README.txt:README.txt LICENSE:LICENSE.txt)
    string(REPLACE ":" ";" doc ${doc})
    list(GET doc 0 from)
    list(GET doc 1 to)
    file(READ ${SOURCE}/${from} text)
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${stage}/${to} "${text}")
    file(CHMOD ${stage}/${to} PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
# The manual page as a page that every Windows opens: HTML, with its style
# inside.
execute_process(COMMAND ${MANDOC} -T html ${SOURCE}/man/tavoScribe.1
    OUTPUT_FILE ${stage}/tavoScribe.html COMMAND_ERROR_IS_FATAL ANY)
file(CHMOD ${stage}/tavoScribe.html PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
set(date "@946684800")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(date "@$ENV{SOURCE_DATE_EPOCH}")
endif()
set(entries tavoScribe.exe README.txt tavoScribe.html LICENSE.txt)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${TOUCH_PROGRAM} -d ${date} ${entries}
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${stage})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${ZIP_PROGRAM} -q -X -D -9 ${ZIP} ${entries}
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${stage})
