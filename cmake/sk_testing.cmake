# Test support: GoogleTest from the system natively, built from Debian's
# googletest sources for Windows; Win32 test programs run under Wine through
# CTest's cross-compiling emulator, and are discovered when the tests run.
enable_testing()
if(NOT SK_BUILD_TESTS OR SK_FUZZ)
  function(sk_add_gtest)
  endfunction()
  return()
endif()
include(GoogleTest)

if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  find_program(SK_WINE wine REQUIRED)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh ${CMAKE_BINARY_DIR}/wine)
else()
  find_package(GTest REQUIRED)
endif()

# sk_add_gtest(NAME SOURCES src... [LIBS lib...])
function(sk_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main sk_warnings)
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                       PROPERTIES TIMEOUT 600)
endfunction()
