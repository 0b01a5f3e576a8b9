# The Debian package. Its dependencies are worked out by dpkg-shlibdeps from
# the libraries the programs link (Qt, SQLite, the C++ runtime), never
# written by hand; the Qt platform plugins come with libqt6gui6.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvoprog)
set(CPACK_PACKAGE_VERSION 3.1.0 CACHE STRING "Version of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "programming tool for the Lumera MX 7350 fiscal cash register")
set(CPACK_PACKAGE_DESCRIPTION
  "Keeps the register's tables (departments, PLUs, VAT rates, cashiers, exchange rates,
payment forms, system parameters and options) in projects on the PC, reads them out
of the register and programs it over RS-232, reads sales reports, sends weighed
articles to DIGI label scales and runs an unattended command-file (online) mode.
Contains the desktop program tarvoprog, the command line tarvoctl (with systemd
units for the online mode and the HTTP/JSON service) and the register simulator
mx7350-sim.")
set(CPACK_PACKAGE_CONTACT "tarvoprog maintainers <tarvoprog@localhost>" CACHE STRING
    "Maintainer field of the Debian package")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)

# Installed under /usr, with the install scripts seeing that prefix (the
# service unit is written with it) and the files staged through DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

# A source package (cpack --config CPackSourceConfig.cmake) leaves out the
# repository and every build tree. The escapes are doubled: CPack reads the
# list back as CMake code.
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/\\\\.git\\$" "/build[^/]*/")

include(CPack)
