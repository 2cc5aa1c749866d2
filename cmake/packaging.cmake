# The Debian package: `cpack -G DEB` in the build tree (or scripts/package)
# turns the install rules into build/kitcomp_<version>_<arch>.deb, installed
# under /usr. Its library dependencies are read from the programs and the
# packaging tools by dpkg-shlibdeps (package dpkg-dev).
set(CPACK_PACKAGE_NAME kitcomp)
set(CPACK_PACKAGE_VENDOR "The Kit Composer developers")
set(CPACK_PACKAGE_CONTACT "The Kit Composer developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Builds customised installers of the Lumenary client suite")
# One string: its lines become the package's long description.
set(CPACK_PACKAGE_DESCRIPTION "Kit Composer is a wizard with which an administrator builds customised
installers of the Lumenary client suite: CD, network and disk images from nine
pages of answers, at the desktop or with `kitcomp build` on a build server.
The package holds the program, its packaging tools and a sample kit.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 platform plugin, loaded at start where no linker sees it, ships in
# libqt6gui6 itself; a Wayland session without qt6-wayland runs on XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Without dpkg-shlibdeps CPack would quietly write a package that declares
# none of its libraries.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/package_checks.cmake)

# Debian keeps a package's licence as /usr/share/doc/<package>/copyright.
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kitcomp RENAME copyright)

include(CPack)
