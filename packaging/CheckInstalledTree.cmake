# Installs the build into throw-away roots (the tool alone, and the tool with the simulated cameras) and
# runs the installed programs from there with a throw-away home. Fails with a message at the first fault.
# -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... [-DMODE=deb: the Debian packages, unpacked, and lintian]
if(EXISTS ${WORK_DIR})
    execute_process(COMMAND chmod -R u+w ${WORK_DIR})
endif()
file(REMOVE_RECURSE ${WORK_DIR})
set(tool ${WORK_DIR}/tool)
set(full ${WORK_DIR}/full)
set(home ${WORK_DIR}/home)
file(MAKE_DIRECTORY ${home})

function(check_run result_var)
    cmake_parse_arguments(R "" "ROOT;EXPECT_CODE" "ARGS" ${ARGN})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=KESTREL_COMMON_FILES_DIR --unset=KESTREL_USER_DATA_DIR
                            --unset=KESTREL_CONFIG_DIR --unset=KESTREL_PROGRAM_DATA_DIR --unset=DOVI_SIM_DEVICES
                            --unset=DOVI_SIM_STATE_DIR --unset=XDG_CONFIG_HOME --unset=XDG_DATA_HOME
                            --unset=GENICAM_GENTL64_PATH
                            HOME=${home} XDG_DATA_DIRS=${R_ROOT}/usr/share XDG_RUNTIME_DIR=${home}
                            ${R_ARGS}
                    RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT code STREQUAL R_EXPECT_CODE)
        message(FATAL_ERROR "${R_ARGS}: exit ${code}, expected ${R_EXPECT_CODE}\n${out}\n${err}")
    endif()
    set(${result_var} "${out}${err}" PARENT_SCOPE)
endfunction()

if(MODE STREQUAL "deb")
    # The Debian packages, unpacked as dpkg would lay them out: the tool alone, and both.
    execute_process(COMMAND cpack -G DEB -B ${WORK_DIR}/packages WORKING_DIRECTORY ${BUILD_DIR}
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    file(GLOB tool_deb ${WORK_DIR}/packages/saltire_*.deb)
    file(GLOB simulator_deb ${WORK_DIR}/packages/saltire-simulator_*.deb)
    if(NOT rc EQUAL 0 OR NOT tool_deb OR NOT simulator_deb)
        message(FATAL_ERROR "cpack failed:\n${out}\n${err}")
    endif()
    foreach(step "${tool_deb};${tool}" "${tool_deb};${full}" "${simulator_deb};${full}")
        list(GET step 0 deb)
        list(GET step 1 root)
        execute_process(COMMAND dpkg-deb -x ${deb} ${root} RESULT_VARIABLE rc)
        if(NOT rc EQUAL 0)
            message(FATAL_ERROR "dpkg-deb -x ${deb} failed")
        endif()
    endforeach()
    execute_process(COMMAND dpkg-deb -f ${tool_deb} Depends OUTPUT_VARIABLE depends)
    if(NOT depends MATCHES "libqt5widgets5" OR NOT depends MATCHES "libaravis")
        message(FATAL_ERROR "the tool's dependencies were not computed from its binaries: ${depends}")
    endif()
    execute_process(COMMAND dpkg-deb -f ${tool_deb} Recommends OUTPUT_VARIABLE recommends)
    if(NOT recommends MATCHES "fonts-wqy-microhei")
        message(FATAL_ERROR "the tool does not recommend the font of its Chinese interface: ${recommends}")
    endif()
    find_program(LINTIAN lintian)
    if(LINTIAN)
        execute_process(COMMAND ${LINTIAN} --tag-display-limit 0 ${tool_deb} ${simulator_deb}
                        OUTPUT_VARIABLE out ERROR_VARIABLE err)
        string(REGEX MATCHALL "(^|\n)[EW]: [^\n]*" faults "${out}")
        if(faults)
            message(FATAL_ERROR "lintian:\n${faults}")
        endif()
    endif()
    # A read-only installation: the simulated cameras must keep their state elsewhere.
    execute_process(COMMAND chmod -R a-w ${full}/usr)
else()
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${tool}/usr --component saltire
                    RESULT_VARIABLE rc OUTPUT_QUIET)
    execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${full}/usr RESULT_VARIABLE rc2 OUTPUT_QUIET)
    if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0)
        message(FATAL_ERROR "cmake --install failed")
    endif()
endif()

# The manual's folder holds the manual alone, and no installed text names the build folder.
file(GLOB docs RELATIVE ${full}/usr/lib/saltire/doc ${full}/usr/lib/saltire/doc/*)
list(SORT docs)
if(NOT docs STREQUAL "User_Manual_Kestrel_Chinese;User_Manual_Kestrel_English")
    message(FATAL_ERROR "usr/lib/saltire/doc holds more than the manual: ${docs}")
endif()
file(GLOB_RECURSE installed LIST_DIRECTORIES false ${full}/usr/*)
foreach(path ${installed})
    if(IS_SYMLINK ${path})
        continue()
    endif()
    file(READ ${path} head LIMIT 4 HEX)
    if(head STREQUAL "7f454c46")
        continue() # machine code: its references are checked below
    endif()
    file(STRINGS ${path} named REGEX "${BUILD_DIR}")
    if(named)
        message(FATAL_ERROR "${path} names the build folder ${BUILD_DIR}")
    endif()
endforeach()

# Nothing installed points back into the build tree.
file(GLOB_RECURSE binaries ${full}/usr/lib/saltire/bin/saltire* ${full}/usr/lib/saltire/lib/*.so* ${full}/usr/lib/Kestrel/*.cti)
foreach(binary ${binaries})
    execute_process(COMMAND readelf -d ${binary} OUTPUT_VARIABLE dynamic)
    if(dynamic MATCHES "${BUILD_DIR}")
        message(FATAL_ERROR "${binary} refers to the build tree:\n${dynamic}")
    endif()
endforeach()

check_run(out ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire-cli --version)
if(NOT out MATCHES "^saltire-cli ([0-9.]+)\n")
    message(FATAL_ERROR "saltire-cli --version: ${out}")
endif()
set(version ${CMAKE_MATCH_1})
check_run(out ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire --version)
if(NOT out STREQUAL "saltire ${version}\n")
    message(FATAL_ERROR "saltire --version: ${out}")
endif()
foreach(page saltire saltire-cli)
    execute_process(COMMAND gzip -dc ${full}/usr/share/man/man1/${page}.1.gz OUTPUT_VARIABLE man)
    if(NOT man MATCHES "\"${page} ${version}\"")
        message(FATAL_ERROR "the manual page of ${page} does not name version ${version}")
    endif()
endforeach()
check_run(help ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire-cli --help)
execute_process(COMMAND gzip -dc ${full}/usr/share/man/man1/saltire-cli.1.gz OUTPUT_VARIABLE man)
foreach(command devices producers show export import set monitor)
    if(NOT help MATCHES "  ${command} " OR NOT man MATCHES "\\.BR ${command}")
        message(FATAL_ERROR "saltire-cli ${command} is missing from --help or from the manual page")
    endif()
endforeach()

# With the simulated cameras: found through XDG_DATA_DIRS alone.
check_run(out ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire-cli devices)
if(NOT out MATCHES "DV-IO8000 IO Controller")
    message(FATAL_ERROR "the installed simulator's devices are not listed:\n${out}")
endif()
check_run(out ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire-cli show --device "DV-IO8000 IO Controller")
check_run(out ROOT ${full} EXPECT_CODE 0 ARGS ${full}/usr/bin/saltire-cli set --device "Station 3 Top (SA2040001)" --all-on)
file(GLOB states ${home}/.local/share/Kestrel/DoVISimulator/*.state)
file(GLOB_RECURSE beside ${full}/usr/lib/Kestrel/*.state)
if(NOT states OR beside)
    message(FATAL_ERROR "the simulated camera's state is not in the user's data folder (${states}; ${beside})")
endif()

# The window, started offscreen, connects to the first device by itself (its log says so).
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=KESTREL_COMMON_FILES_DIR --unset=KESTREL_USER_DATA_DIR
                        --unset=KESTREL_CONFIG_DIR --unset=KESTREL_PROGRAM_DATA_DIR --unset=DOVI_SIM_DEVICES
                        --unset=DOVI_SIM_STATE_DIR --unset=XDG_CONFIG_HOME --unset=XDG_DATA_HOME
                        HOME=${home} XDG_DATA_DIRS=${full}/usr/share XDG_RUNTIME_DIR=${home} QT_QPA_PLATFORM=offscreen
                        ${full}/usr/bin/saltire
                TIMEOUT 8 OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(GLOB_RECURSE logs ${home}/.local/share/Kestrel/Log/*)
set(logged "${out}${err}")
foreach(log ${logs})
    file(READ ${log} text)
    string(APPEND logged "${text}")
endforeach()
if(NOT logged MATCHES "Found [1-9][0-9]* device\\(s\\)")
    message(FATAL_ERROR "the installed window found no device:\n${logged}")
endif()

# The tool alone: no camera, and the command line says where it looked; the GigE Vision producer is there.
check_run(out ROOT ${tool} EXPECT_CODE 2 ARGS ${tool}/usr/bin/saltire-cli devices)
if(NOT out MATCHES "no device found through the producers of ${tool}/usr/share/Kestrel/Runtime/Linux64_x64")
    message(FATAL_ERROR "saltire-cli devices does not say where it looked:\n${out}")
endif()
check_run(out ROOT ${tool} EXPECT_CODE 0 ARGS ${tool}/usr/bin/saltire-cli producers)
if(NOT out MATCHES "DoVIGigE.cti\truntime folder\tGEV" OR out MATCHES "DoVISimulator")
    message(FATAL_ERROR "the tool alone lists other producers than its GigE Vision one:\n${out}")
endif()

find_program(DESKTOP_VALIDATE desktop-file-validate)
if(DESKTOP_VALIDATE)
    execute_process(COMMAND ${DESKTOP_VALIDATE} ${full}/usr/share/applications/saltire.desktop
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "desktop-file-validate: ${out}${err}")
    endif()
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${full}/usr/share/metainfo/io.github.saltire.Saltire.metainfo.xml
                    RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "appstreamcli validate: ${out}${err}")
    endif()
endif()
execute_process(COMMAND chmod -R u+w ${WORK_DIR})
message(STATUS "installed tree ${version}: ok")
