# varnholt_compile_chm(OUTPUT <file> PROJECT <name.hhp> SOURCE_DIR <dir> FILES <file>...)
#
# Compiles a help project into a .chm file with chmcmd. chmcmd writes its result
# beside the project file, so the project and every file it lists (paths relative
# to SOURCE_DIR) are first copied into a staging folder in the build tree; the
# compiled file is then copied to OUTPUT. The command reruns when any listed file
# changes.
include_guard(GLOBAL)

find_program(CHMCMD_EXECUTABLE chmcmd)
if(NOT CHMCMD_EXECUTABLE)
    message(FATAL_ERROR
        "chmcmd was not found; it compiles the help file. On Debian: apt-get install fp-utils")
endif()

function(varnholt_compile_chm)
    cmake_parse_arguments(PARSE_ARGV 0 ARG "" "OUTPUT;PROJECT;SOURCE_DIR" "FILES")
    get_filename_component(stem "${ARG_PROJECT}" NAME_WE)
    set(stage "${CMAKE_CURRENT_BINARY_DIR}/${stem}_chm")

    # The compiled name comes from the project's "Compiled file=" line.
    file(STRINGS "${ARG_SOURCE_DIR}/${ARG_PROJECT}" compiled_line REGEX "^Compiled file=")
    string(REGEX REPLACE "^Compiled file=[ ]*" "" compiled "${compiled_line}")
    string(STRIP "${compiled}" compiled)
    if(compiled STREQUAL "")
        message(FATAL_ERROR "${ARG_PROJECT} has no \"Compiled file=\" line")
    endif()

    set(copy_commands)
    set(depends)
    foreach(source IN LISTS ARG_FILES ARG_PROJECT)
        get_filename_component(folder "${stage}/${source}" DIRECTORY)
        list(APPEND copy_commands
            COMMAND ${CMAKE_COMMAND} -E make_directory "${folder}"
            COMMAND ${CMAKE_COMMAND} -E copy "${ARG_SOURCE_DIR}/${source}" "${stage}/${source}")
        list(APPEND depends "${ARG_SOURCE_DIR}/${source}")
    endforeach()

    add_custom_command(
        OUTPUT "${ARG_OUTPUT}"
        COMMAND ${CMAKE_COMMAND} -E rm -rf "${stage}"
        ${copy_commands}
        COMMAND ${CMAKE_COMMAND} -E chdir "${stage}"
            "${CHMCMD_EXECUTABLE}" --no-html-scan --verbosity 0 "${ARG_PROJECT}"
        # chmcmd can report a problem and still exit with 0; a missing result
        # must fail the build.
        COMMAND ${CMAKE_COMMAND} -E copy "${stage}/${compiled}" "${ARG_OUTPUT}"
        DEPENDS ${depends}
        COMMENT "Compiling help file ${compiled}"
        VERBATIM)
endfunction()
