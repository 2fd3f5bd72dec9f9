# GoogleTest from Debian's source package, built for whichever target this tree builds.
set(VARDAK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(${VARDAK_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)

# vardak_add_test(NAME SOURCES... [LIBS ...] [LABELS ...] [WINE_LOCK])
# One test executable; ctest runs it as one entry and it writes its results as
# XML into the build folder's test-results directory, which the test command counts.
function(vardak_add_test name)
    cmake_parse_arguments(T "WINE_LOCK" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${T_UNPARSED_ARGUMENTS})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        VARDAK_TESTDATA_DIR="${VARDAK_TESTDATA_DIR}"
        VARDAK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    set(results ${CMAKE_BINARY_DIR}/test-results)
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results}/${name}.xml)
    # Under Wine every 32-bit process may run under user-mode emulation: minutes, not seconds.
    if(CMAKE_CROSSCOMPILING)
        set(timeout 2400)
    else()
        set(timeout 600)
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${timeout})
    if(T_WINE_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
    endif()
endfunction()
