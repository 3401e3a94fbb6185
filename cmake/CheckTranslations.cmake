# Fails when a translatable text of the sources has no finished translation, or when a catalogue still
# holds texts the sources no longer have. Run by CTest:
#   cmake -DLUPDATE=... -DSOURCE_DIR=... -DWORK_DIR=... -P CheckTranslations.cmake
set(catalogues
    "Saltire_zh.ts|app device features selection files apply stats monitor"
    "Trellis_zh_CN.ts|platform/trellis"
    "Bedrock_zh_CN.ts|platform/bedrock")
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(problems "")
foreach(entry ${catalogues})
    string(REPLACE "|" ";" parts "${entry}")
    list(GET parts 0 ts)
    list(GET parts 1 dirs)
    separate_arguments(dirs)
    file(COPY ${SOURCE_DIR}/resources/translations/${ts} DESTINATION ${WORK_DIR})
    execute_process(COMMAND ${LUPDATE} -locations none ${dirs} -ts ${WORK_DIR}/${ts}
                    WORKING_DIRECTORY ${SOURCE_DIR} RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "lupdate failed for ${ts}: ${err}")
    endif()
    file(READ ${WORK_DIR}/${ts} text)
    string(REGEX MATCHALL "<source>[^<]*</source>[ \r\n\t]*<translation type=\"(unfinished|vanished|obsolete)\"" bad "${text}")
    foreach(b ${bad})
        string(REGEX REPLACE "[ \r\n\t]+" " " b "${b}")
        string(APPEND problems "  ${ts}: ${b}\n")
    endforeach()
endforeach()
if(problems)
    message(FATAL_ERROR "Texts without a finished translation, or translations of vanished texts:\n${problems}"
                        "Run 'cmake --build <build> --target lupdate' and translate them.")
endif()
message(STATUS "Every translatable text has a finished translation.")
