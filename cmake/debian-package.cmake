# The Debian package: `cpack` in the build directory makes
# puzzle15_1.00_amd64.deb from what cmake/install.cmake installs, its library
# dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_DESCRIPTION "The 15 puzzle on a 4x4 board, with 3x3 and 5x5 boards to choose from,
in one fixed Bulgarian window: new game, moves taken back one at a time,
the solved board, and the unsolvable board with tiles 14 and 15 exchanged.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${PUZZLE15_VENDOR}/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window asks for Times New Roman; Liberation Serif stands in for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
# The program in /usr/games, and the archive's times from SOURCE_DATE_EPOCH
# (which CPack's DEB generator honours) unless cpack's caller sets it.
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/games_dir.cmake")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/packaging/cpack_options.cmake")
set(CPACK_PUZZLE15_BINDIR "${CMAKE_INSTALL_BINDIR}")
set(CPACK_PUZZLE15_SOURCE_DATE_EPOCH "${PUZZLE15_SOURCE_DATE_EPOCH}")
