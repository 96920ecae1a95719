# The address TarnwickUpdate downloads from, checked when the build is
# configured: the product is placed under the name the address ends in, so
# any other name would be placed beside the product, which stays old.
# Run alone (cmake -DTARNWICK_DOWNLOAD_URL=... -P cmake/download-url.cmake)
# it checks that value.
function(tarnwick_check_download_url url)
  if(NOT url MATCHES "^https?://[^/?#]+/local/tarnwick\\.exe(\\?[^#]*)?$")
    message(FATAL_ERROR "TARNWICK_DOWNLOAD_URL must be an http or https address whose path is "
                        "/local/tarnwick.exe, not \"${url}\": the product is placed under the name "
                        "the address ends in.")
  endif()
endfunction()

# True when the address is on this machine: such a build updates from
# nowhere else.
function(tarnwick_is_loopback_url url result)
  if(url MATCHES "^https?://(127\\.[0-9.]+|localhost|\\[::1\\])[:/]")
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  tarnwick_check_download_url("${TARNWICK_DOWNLOAD_URL}")
endif()
