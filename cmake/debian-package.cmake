# The Debian package (cpack -G DEB in the build folder): everything the
# install puts in place, under /usr, registered for every user by its
# postinst and unregistered by its prerm. Its dependencies come from the
# libraries its programs link (dpkg-shlibdeps).
set(DEB_PREFIX /usr)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/postinst.in ${CMAKE_BINARY_DIR}/debian/postinst @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/prerm.in ${CMAKE_BINARY_DIR}/debian/prerm @ONLY)
file(CHMOD ${CMAKE_BINARY_DIR}/debian/postinst ${CMAKE_BINARY_DIR}/debian/prerm
     PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
# The package owns the system-wide registry's folder, so that it goes with
# the package once the prerm has emptied it.
install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/tarnwick)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarnwick-update)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tarnwick")
set(CPACK_PACKAGE_CONTACT "Tarnwick maintainers <maintainers@tarnwick.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps the Tarnwick desktop product up to date from the web")
set(CPACK_PACKAGE_DESCRIPTION
    "The Update control library (ctlWebUpdate, qvProgressBar), TarnwickUpdate, regsvr, ctlhost and the development kit for hosts.")
set(CPACK_PACKAGING_INSTALL_PREFIX ${DEB_PREFIX})
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The kit's headers need Qt's to compile against.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-base-dev")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/debian/postinst ${CMAKE_BINARY_DIR}/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
include(CPack)
