# The Debian package, made by `cpack -G DEB` in the package build
# (scripts/check_package.sh): varnholt_<version>-1_amd64.deb, installing under /usr.
set(packaging ${PROJECT_SOURCE_DIR}/packaging)

install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
set(debian_changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
find_program(GZIP gzip REQUIRED)
add_custom_command(
    OUTPUT ${debian_changelog}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND ${GZIP} -9n -c ${packaging}/changelog > ${debian_changelog}
    DEPENDS ${packaging}/changelog)
add_custom_target(varnholt_debian_changelog ALL DEPENDS ${debian_changelog})
install(FILES ${debian_changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${packaging}/io.github.varnholt.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnholt)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Varnholt developers")
set(CPACK_PACKAGE_CONTACT "The Varnholt developers <varnholt@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert satellite CSV element sets into three-line TLE files")
set(CPACK_PACKAGE_DESCRIPTION "\
Public satellite catalogues publish their element sets as CSV files; tracking
programs read the older three-line TLE form. Varnholt converts the one into
the other: a small window program, and varnholt-convert for scripts. Every
field is placed in its columns and every checksum is valid.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The run-time dependencies are read off the programs by dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The windows ask for "Arial", which this font family stands in for.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS fonts-liberation2)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
# A staged install: the desktop caches are the system's triggers' business.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
