# What the Windows programs of this build need beside them, as windeployqt
# would lay it out on Windows: the DLLs of the dependency prefix (Qt,
# libcurl, libsodium and the compiler's run-time), Qt's plugins and fonts. When
# cross-compiling, the build's programs run under Wine, in a Wine prefix of
# the build's own (wine/ in the build folder), through wine-run.sh.
set(tarnwick_runtime_dlls "")
foreach(prefix IN LISTS TARNWICK_WINDOWS_DEPS)
  file(GLOB dlls "${prefix}/bin/*.dll")
  list(APPEND tarnwick_runtime_dlls ${dlls})
endforeach()
set(tarnwick_runtime_commands
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${tarnwick_runtime_dlls} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
foreach(plugins platforms styles imageformats tls)
  list(APPEND tarnwick_runtime_commands COMMAND ${CMAKE_COMMAND} -E copy_directory
       "${TARNWICK_WINDOWS_QT}/plugins/${plugins}" "${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/${plugins}")
endforeach()
# Qt's offscreen platform on Windows reads its fonts from lib/fonts beside
# Qt: the faces the Linux build finds (fonts-liberation2, fonts-dejavu-core).
foreach(face LiberationSans-Regular.ttf DejaVuSans.ttf)
  find_file(tarnwick_font_${face} ${face} PATHS /usr/share/fonts/truetype/liberation2 /usr/share/fonts/truetype/dejavu
            NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  list(APPEND tarnwick_runtime_fonts ${tarnwick_font_${face}})
endforeach()
list(APPEND tarnwick_runtime_commands
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lib/fonts
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${tarnwick_runtime_fonts} ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/lib/fonts)
add_custom_target(windows_runtime ALL ${tarnwick_runtime_commands}
  COMMENT "Copying the DLLs and Qt plugins beside the programs")

if(CMAKE_CROSSCOMPILING)
  # Debian's wine starts a program named without a path in its 32-bit
  # form once wine32 is there: the 64-bit edition asks for wine64 itself.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    find_program(TARNWICK_WINE_LOADER wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  else()
    find_program(TARNWICK_WINE_LOADER wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH REQUIRED)
  endif()
  set(TARNWICK_WINEPREFIX ${CMAKE_BINARY_DIR}/wine)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
                 FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                                  WORLD_EXECUTE @ONLY)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
endif()

# Binaries that ship go out stripped (Update.dll is 30 times its code with
# debug information): the debug information stays beside each as
# NAME.debug, which gdb finds through the binary's debug link.
function(tarnwick_split_debug target)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> $<TARGET_FILE:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE:${target}>.debug
            $<TARGET_FILE:${target}>
    COMMENT "Keeping the debug information of ${target} beside it")
endfunction()
