# The deliverables: PE32 programs and DLLs for 32-bit x86 Windows.
set(SK_MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
