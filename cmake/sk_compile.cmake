# Compiler settings shared by every target: warnings are errors everywhere,
# sanitizers on request, and a Windows runtime that needs no DLL of its own.

# The warning flags. sk_enable_warnings() gives them to every target made
# after it in the calling directory and below, so no target can lose them by
# forgetting to ask; the top level calls it once the third-party sources
# (GoogleTest for the Windows builds) are added, which keep their own flags.
set(SK_WARNING_FLAGS
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wsign-conversion
  -Wcast-qual -Wformat=2 -Wundef -Wnull-dereference
  $<$<COMPILE_LANGUAGE:CXX>:-Wold-style-cast> $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor>)
macro(sk_enable_warnings)
  add_compile_options(${SK_WARNING_FLAGS})
endmacro()

if(SK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(SK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "The fuzz build needs clang")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # libgcc, libstdc++, winpthread and zlib are linked in, so the modules
  # import nothing but Windows' own DLLs.
  add_link_options(-static -static-libgcc -static-libstdc++ $<$<CONFIG:Release>:-s>)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 UNICODE _UNICODE)
  # The machine that the file checks (cmake/check-pe.sh) expect in the modules.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    set(SK_PE_MACHINE x86-64)
  else()
    set(SK_PE_MACHINE i386)
  endif()
endif()
