# The Debian package: cpack -G DEB in a build tree writes
# morvane_<version>_<arch>.deb with what the install rules place (both
# programs, the desktop entry, the icon, the AppStream metainfo, the manual
# pages, the copyright and the changelog). scripts/package.sh builds it and
# checks it, lintian among the checks.
include(GNUInstallDirs)
install(FILES packaging/copyright packaging/changelog DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/morvane)
install(FILES packaging/morvane-cli.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(MORVANE_BUILD_APP)
  install(FILES packaging/Morvane.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
# Debian wants the manual pages and the changelog gzipped in the package;
# an install elsewhere keeps them plain.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/packaging/compress-docs.cmake)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_CONTACT "Morvane developers <morvane@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Release binaries without their symbol tables.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# cpack puts the summary above this as the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Engine calibration: the events of every cylinder (piston, valves, ignition)
from a cylinder table and a firing order on a crank-angle timeline, with an
imported measurement signal, the valve timing and the combustion figures of a
pressure cycle. Morvane is the window; morvane-cli runs the same commands in
batch.")
# dpkg-shlibdeps works out the libraries' packages (Qt, the C++ runtime) and
# adds them to these, which Qt loads at run time and no linker sees: the
# platform plugins that open a window, the SVG icon's plugin and Qt's own
# Czech texts (without them the window starts in English). The Tahoma
# the window's look is measured in is recommended: without it, another font.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6svg6, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
