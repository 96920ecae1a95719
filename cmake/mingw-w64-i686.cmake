# 32-bit Windows (i686), the edition 32-bit hosts load. Needs Debian's
# g++-mingw-w64-i686-posix and a prefix made by TARNWICK_WINDOWS_ARCH=i686
# scripts/windows/deps.sh; its programs run under Wine's WoW64 (wine32:i386).
set(TARNWICK_WINDOWS_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
