# Windows test programs run under Wine, through CTest's cross-compiling
# emulator (cmake/wine-run.sh), in one prefix inside the build tree that one
# persistent wineserver serves for the whole test run; the test wine.stop
# ends that server after the last test, whether the tests passed or not.
#
# 64-bit programs run under 64-bit Wine on every machine. 32-bit programs
# need a machine that executes 32-bit code: where it does, every test runs
# ("full"); where it does not, 32-bit Wine runs only by emulation, at most a
# minute or two a program, and only the smoke tests run ("smoke").
# SK_WIN32_RUN chooses for a 32-bit tree: auto (ask scripts/probe-32bit.sh),
# full or smoke.
set(SK_WIN32_RUN auto CACHE STRING "Which tests a 32-bit Windows tree runs: auto, full or smoke")
set_property(CACHE SK_WIN32_RUN PROPERTY STRINGS auto full smoke)

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(loader wine64)
  set(run full)
  set(why "64-bit Wine runs natively")
elseif(SK_WIN32_RUN STREQUAL "auto")
  set(loader wine)
  execute_process(COMMAND ${CMAKE_SOURCE_DIR}/scripts/probe-32bit.sh RESULT_VARIABLE no_32bit)
  if(no_32bit)
    set(run smoke)
    set(why "this machine does not execute 32-bit code, 32-bit Wine runs only by emulation")
  else()
    set(run full)
    set(why "this machine executes 32-bit code")
  endif()
elseif(SK_WIN32_RUN MATCHES "^(full|smoke)$")
  set(loader wine)
  set(run ${SK_WIN32_RUN})
  set(why "chosen by SK_WIN32_RUN")
else()
  message(FATAL_ERROR "SK_WIN32_RUN is auto, full or smoke, not '${SK_WIN32_RUN}'")
endif()
message(STATUS "Windows tests: ${run} (${why})")
# scripts/test.sh reports this line.
file(WRITE ${CMAKE_BINARY_DIR}/windows-test-run.txt "${run} (${why})\n")

if(NOT EXISTS /usr/lib/wine/${loader})
  message(FATAL_ERROR "The tests need /usr/lib/wine/${loader}: run scripts/setup.sh")
endif()
set(sk_wine_run ${CMAKE_SOURCE_DIR}/cmake/wine-run.sh)
set(sk_wine_root ${CMAKE_BINARY_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${sk_wine_run} ${sk_wine_root} ${loader})
# GoogleTest programs run through the same script in its --gtest mode.
set(SK_GTEST_EMULATOR ${sk_wine_run} --gtest ${sk_wine_root} ${loader})
if(run STREQUAL "smoke")
  set(SK_RUN_PROGRAM_TESTS OFF)
endif()

add_test(NAME wine.stop COMMAND ${sk_wine_run} --stop ${sk_wine_root})
set_tests_properties(wine.stop PROPERTIES FIXTURES_CLEANUP sk_wine)
set(SK_PROGRAM_TEST_PROPERTIES FIXTURES_REQUIRED sk_wine)
unset(loader)
unset(run)
unset(why)
