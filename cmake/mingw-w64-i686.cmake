# 32-bit Windows (i686). Needs Debian's g++-mingw-w64-i686-posix and a prefix
# made by TARNWICK_WINDOWS_ARCH=i686 scripts/windows/deps.sh; not tested here,
# since 32-bit programs can't run on these machines.
set(TARNWICK_WINDOWS_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
