# 64-bit Windows (x86_64).
set(TARNWICK_WINDOWS_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
