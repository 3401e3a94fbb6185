# saltire_add_test(NAME <name> [SIM] SOURCES <files...> LIBS <targets...>)
# Builds one Qt Test executable and registers it with CTest on the offscreen platform. SIM: the test uses
# the simulated cameras (tests/nxa/simfixture.h), which are built before it. Every test gets
# its own folders (user data, program data, common files, configuration) inside the build tree, so
# nothing ever reaches the real home folder.
# Tests run from build/tests; what a program finds beside itself (translation/) is linked there.
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
file(CREATE_LINK ${SALTIRE_RUNTIME_DIR}/translation ${CMAKE_BINARY_DIR}/tests/translation SYMBOLIC)

function(saltire_add_test)
    cmake_parse_arguments(T "SIM" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    set_target_properties(${T_NAME} PROPERTIES
        AUTOMOC ON
        RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_link_libraries(${T_NAME} PRIVATE Qt5::Test ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE
        SALTIRE_RUNTIME_DIR="${SALTIRE_RUNTIME_DIR}")
    if(T_SIM)
        target_include_directories(${T_NAME} PRIVATE ${CMAKE_SOURCE_DIR}/tests/nxa)
        target_compile_definitions(${T_NAME} PRIVATE
            SALTIRE_DOVISIM_CTI="$<TARGET_FILE:DoVISimulator>"
            SALTIRE_DOVISIM_DEVICES="${CMAKE_SOURCE_DIR}/platform/dovisim/devices")
        add_dependencies(${T_NAME} DoVISimulator)
    endif()
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(home ${CMAKE_BINARY_DIR}/testhome/${T_NAME})
    set_tests_properties(${T_NAME} PROPERTIES
        TIMEOUT 120
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;DOVI_GIGE_INTERFACES=lo;HOME=${home};XDG_CONFIG_HOME=${home}/config;XDG_DATA_HOME=${home}/data;KESTREL_USER_DATA_DIR=${home}/userdata;KESTREL_PROGRAM_DATA_DIR=${home}/programdata;KESTREL_COMMON_FILES_DIR=${home}/common;KESTREL_CONFIG_DIR=${home}/config/Kestrel")
endfunction()
