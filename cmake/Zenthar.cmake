# Shared helpers of the build.

# GoogleTest: Debian's packages on the host; for the Windows builds, Debian's googletest
# sources compiled with the cross compiler.
if(WIN32)
  set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
  include(GoogleTest)
endif()

# zenthar_host_test(NAME SOURCES... [LIBS ...] [LABELS ...])
# A native GoogleTest program, each test case registered with CTest.
function(zenthar_host_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${ARG_LABELS}")
endfunction()

# zenthar_wine_test(NAME SOURCES... [LIBS ...])
# A GoogleTest program for Windows that scripts/wine-tests.sh runs under Wine. It is listed
# in wine-tests.txt of the build folder rather than registered with CTest, because discovery
# would start Wine at build time.
function(zenthar_wine_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main)
  set_property(GLOBAL APPEND PROPERTY ZENTHAR_WINE_TESTS ${name})
endfunction()
