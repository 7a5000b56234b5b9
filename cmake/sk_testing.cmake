# Test support: GoogleTest from the system natively, built from Debian's
# googletest sources for Windows, where the test programs run under Wine
# (cmake/sk_wine.cmake) and are discovered when the tests run.
enable_testing()
if(NOT SK_BUILD_TESTS OR SK_FUZZ)
  function(sk_add_gtest)
  endfunction()
  return()
endif()
include(GoogleTest)

# SK_RUN_PROGRAM_TESTS: whether this tree runs its test programs. Always
# natively; a Windows tree may build them all but run only its smoke tests.
set(SK_RUN_PROGRAM_TESTS ON)
set(SK_PROGRAM_TEST_PROPERTIES "")
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  include(sk_wine)
else()
  find_package(GTest REQUIRED)
endif()

# sk_add_program_test(NAME name COMMAND program args... [SMOKE])
# A test that runs one of the tree's programs. SMOKE: also where only the
# smoke tests run.
function(sk_add_program_test)
  cmake_parse_arguments(P "SMOKE" "NAME" "COMMAND" ${ARGN})
  if(NOT SK_RUN_PROGRAM_TESTS AND NOT P_SMOKE)
    return()
  endif()
  add_test(NAME ${P_NAME} COMMAND ${P_COMMAND})
  if(SK_PROGRAM_TEST_PROPERTIES)
    set_tests_properties(${P_NAME} PROPERTIES ${SK_PROGRAM_TEST_PROPERTIES})
  endif()
endfunction()

# sk_add_gtest(NAME SOURCES src... [LIBS lib...])
function(sk_add_gtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  if(SK_GTEST_EMULATOR)
    set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${SK_GTEST_EMULATOR}")
  endif()
  if(SK_RUN_PROGRAM_TESTS)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
                         PROPERTIES TIMEOUT 600 ${SK_PROGRAM_TEST_PROPERTIES})
  endif()
endfunction()
