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
    set(results ${CMAKE_BINARY_DIR}/test-results/${name}.xml)
    if(CMAKE_CROSSCOMPILING)
        # A Windows program under Wine names the file through drive Z:, the Unix root.
        string(REPLACE "/" "\\" results "Z:${results}")
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_output=xml:${results})
    # Under Wine 32-bit code may run under user-mode emulation, and Wine starts its
    # own services with the first program.
    if(CMAKE_CROSSCOMPILING)
        set(timeout 1200)
    else()
        set(timeout 600)
    endif()
    set_tests_properties(${name} PROPERTIES LABELS "${T_LABELS}" TIMEOUT ${timeout})
    if(T_WINE_LOCK)
        set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wineprefix)
    endif()
endfunction()
