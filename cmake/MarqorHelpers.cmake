# Helpers shared by the CMake files of the subsystems.

# marqor_add_library(<target> SOURCES ... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...])
# One static library per subsystem; its headers are included as "<subsystem>/<file>.h".
function(marqor_add_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
endfunction()

# marqor_add_test(<target> SOURCES ... LIBS ... [LABELS ...])
# A GoogleTest binary whose cases CTest lists one by one. Core tests carry the label "core" so
# the sanitizer build can run exactly them.
function(marqor_add_test target)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_compile_definitions(${target} PRIVATE
        MARQOR_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
        MARQOR_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    if(NOT ARG_LABELS)
        set(ARG_LABELS core)
    endif()
    gtest_discover_tests(${target}
        DISCOVERY_MODE PRE_TEST
        PROPERTIES LABELS "${ARG_LABELS}"
        DISCOVERY_TIMEOUT 60)
endfunction()
