# cmake -DEXE=... -DREADME=... -DZIP=... -P make_zip.cmake
# Info-ZIP with -X stores no owner and no access or change times, only each
# entry's DOS date, which the staged copies carry as a fixed date in UTC.
find_program(ZIP_PROGRAM zip REQUIRED)
find_program(TOUCH_PROGRAM touch REQUIRED)
get_filename_component(stage ${ZIP} DIRECTORY)
set(stage ${stage}/zip-stage)
file(REMOVE_RECURSE ${stage} ${ZIP})
file(MAKE_DIRECTORY ${stage})
file(COPY ${EXE} ${README} DESTINATION ${stage}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
            ${TOUCH_PROGRAM} -d "2000-01-01 00:00:00" tavoScribe.exe README.md
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${stage})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TZ=UTC
            ${ZIP_PROGRAM} -q -X -D -9 ${ZIP} tavoScribe.exe README.md
    COMMAND_ERROR_IS_FATAL ANY
    WORKING_DIRECTORY ${stage})
