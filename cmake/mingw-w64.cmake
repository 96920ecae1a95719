# Cross-compiling for Windows with Debian's mingw-w64 (posix threads, as Qt
# needs). Included by mingw-w64-x86_64.cmake and mingw-w64-i686.cmake, which
# name the processor in TARNWICK_WINDOWS_ARCH.
#
# The Windows dependencies (Qt, libcurl, libsodium and libzstd built by
# scripts/windows/deps.sh) are found in the prefix named by the CMake
# variable or environment variable TARNWICK_WINDOWS_DEPS (a list of prefixes
# when libzstd lies apart, as deps.sh prints it), else in the script's
# default folder for the processor. The first prefix holds Qt. Qt's host
# tools (moc, rcc) come from Debian's qt6-base-dev of the same version.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${TARNWICK_WINDOWS_ARCH})
set(_triplet ${TARNWICK_WINDOWS_ARCH}-w64-mingw32)
set(CMAKE_C_COMPILER ${_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_triplet}-windres)

if(NOT TARNWICK_WINDOWS_DEPS)
  if(DEFINED ENV{TARNWICK_WINDOWS_DEPS} AND NOT "$ENV{TARNWICK_WINDOWS_DEPS}" STREQUAL "")
    set(TARNWICK_WINDOWS_DEPS "$ENV{TARNWICK_WINDOWS_DEPS}")
  else()
    if(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
      set(_cache "$ENV{XDG_CACHE_HOME}")
    else()
      set(_cache "$ENV{HOME}/.cache")
    endif()
    set(_suffix "")
    if(NOT TARNWICK_WINDOWS_ARCH STREQUAL "x86_64")
      set(_suffix "-${TARNWICK_WINDOWS_ARCH}")
    endif()
    set(TARNWICK_WINDOWS_DEPS "${_cache}/tarnwick/windows-deps-6.4.2${_suffix}")
  endif()
endif()
set(_prefixes "")
foreach(_prefix IN LISTS TARNWICK_WINDOWS_DEPS)
  get_filename_component(_prefix "${_prefix}" ABSOLUTE)
  list(APPEND _prefixes "${_prefix}")
endforeach()
set(TARNWICK_WINDOWS_DEPS "${_prefixes}")
list(GET TARNWICK_WINDOWS_DEPS 0 TARNWICK_WINDOWS_QT)
# try_compile projects read this file again: hand them the same choices.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TARNWICK_WINDOWS_ARCH TARNWICK_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH ${TARNWICK_WINDOWS_DEPS} /usr/${_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(QT_HOST_PATH /usr)
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake)
