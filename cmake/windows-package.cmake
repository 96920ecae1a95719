# What a Windows edition installs, flat in one program folder as Windows
# programs are (scripts/windows/package.sh makes the installer and the zip
# from it): Update.dll, TarnwickUpdate.exe and ctlhost.exe (their install
# rules live beside them), the DLLs they load and the Qt plugins Qt loads
# for them, the README as text and the licence texts of what it ships.
set(deps_bin "${TARNWICK_WINDOWS_QT}/bin")
file(GLOB compiler_runtime "${deps_bin}/libgcc_s_*.dll")
find_file(zstd_dll libzstd.dll PATH_SUFFIXES bin REQUIRED)
install(FILES ${deps_bin}/Qt6Core.dll ${deps_bin}/Qt6Gui.dll ${deps_bin}/Qt6Widgets.dll ${deps_bin}/libcurl.dll
              ${deps_bin}/libsodium-23.dll ${zstd_dll} ${deps_bin}/libstdc++-6.dll ${deps_bin}/libwinpthread-1.dll
              ${compiler_runtime}
        DESTINATION .)
install(FILES ${TARNWICK_WINDOWS_QT}/plugins/platforms/qwindows.dll DESTINATION platforms)
install(FILES ${TARNWICK_WINDOWS_QT}/plugins/styles/qwindowsvistastyle.dll DESTINATION styles)
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION . RENAME README.txt)

# The dependencies were built from these Debian source packages, whose
# copyright files (from the same versions' Linux packages) hold their
# licences; the common licences they refer to go with them.
set(licences
  "Qt.txt=/usr/share/doc/libqt6core6/copyright"
  "curl.txt=/usr/share/doc/libcurl4/copyright"
  "libsodium.txt=/usr/share/doc/libsodium23/copyright"
  "zstd.txt=/usr/share/doc/libzstd1/copyright"
  "GCC runtime.txt=/usr/share/doc/gcc-mingw-w64-base/copyright"
  "mingw-w64 winpthreads.txt=/usr/share/doc/mingw-w64-common/copyright"
  "GPL-2.txt=/usr/share/common-licenses/GPL-2"
  "GPL-3.txt=/usr/share/common-licenses/GPL-3"
  "LGPL-2.1.txt=/usr/share/common-licenses/LGPL-2.1"
  "LGPL-3.txt=/usr/share/common-licenses/LGPL-3")
foreach(licence IN LISTS licences)
  string(REGEX REPLACE "=.*" "" name "${licence}")
  string(REGEX REPLACE "^[^=]*=" "" source "${licence}")
  if(NOT EXISTS "${source}")
    message(FATAL_ERROR "${source} (the licence of what the Windows edition ships) is missing: "
                        "scripts/windows.sh installs the packages that hold it")
  endif()
  install(FILES "${source}" DESTINATION licences RENAME "${name}")
endforeach()

# For the zip: registers (or with /u unregisters) the Update.dll beside it
# with the regsvr32 of this edition's width, from a 32-bit or 64-bit shell.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(REGSVR32_FOLDER Sysnative)
else()
  set(REGSVR32_FOLDER SysWOW64)
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/register.cmd.in ${CMAKE_BINARY_DIR}/package/register.cmd
               @ONLY NEWLINE_STYLE CRLF)
