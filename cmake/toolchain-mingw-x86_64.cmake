# The same sources as PE32+ programs for 64-bit Windows, which 64-bit Wine
# runs on every machine: the Windows test run.
set(SK_MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
