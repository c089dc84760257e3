# GoogleTest and GoogleMock built from the source Debian installs with
# libgtest-dev (/usr/src/googletest), for a cross build; the targets get the
# names find_package(GTest) gives them (GoogleTest 1.12 on makes them itself).
set(VARNHOLT_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's source folder")
if(NOT EXISTS ${VARNHOLT_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "No GoogleTest source in ${VARNHOLT_GOOGLETEST_SOURCE} (Debian: googletest)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${VARNHOLT_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
foreach(library gtest gtest_main gmock gmock_main)
    if(NOT TARGET GTest::${library})
        add_library(GTest::${library} ALIAS ${library})
    endif()
endforeach()
