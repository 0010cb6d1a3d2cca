# How the program presents itself to the desktop: what `cmake --install`
# puts in place (the program, its menu entry, icons and AppStream metadata),
# the Debian package made by CPack, and the Windows resources of the program
# file. Included from the top-level CMakeLists.txt once the puzzle15 target
# exists.

include(GNUInstallDirs)

# The reverse-DNS id names the menu entry, the icon and the metadata.
set(PUZZLE15_APP_ID "org.example.puzzle15")
set(PUZZLE15_RELEASE_DATE "2026-12-08")

# AppStream metadata, its release from project(VERSION) as "1.00".
set(PUZZLE15_METAINFO_TEMPLATE "desktop/${PUZZLE15_APP_ID}.metainfo.xml.in")
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_METAINFO_TEMPLATE}
               ${PROJECT_BINARY_DIR}/${PUZZLE15_APP_ID}.metainfo.xml @ONLY)

# The program links only system libraries: no RPATH in the installed file.
set_target_properties(puzzle15 PROPERTIES INSTALL_RPATH "")
install(TARGETS puzzle15 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES desktop/${PUZZLE15_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${PUZZLE15_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 64 128 256)
    install(FILES resources/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${PUZZLE15_APP_ID}.png)
endforeach()

# Windows: the program file's icon and version record. The script is
# generated on every platform so that a test can compile it anywhere.
set(PUZZLE15_RC_TEMPLATE "resources/puzzle15.rc.in")
set(PUZZLE15_ICO "${PROJECT_SOURCE_DIR}/resources/puzzle15.ico")
set(PUZZLE15_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
if(PROJECT_VERSION_PATCH)
    set(PUZZLE15_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
endif()
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_RC_TEMPLATE} ${PROJECT_BINARY_DIR}/puzzle15.rc @ONLY)
if(WIN32)
    target_sources(puzzle15 PRIVATE ${PROJECT_BINARY_DIR}/puzzle15.rc)
    set_target_properties(puzzle15 PROPERTIES WIN32_EXECUTABLE TRUE)
endif()

# Debian package: `cpack -G DEB` in the build directory makes
# puzzle15_1.00_amd64.deb, its library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "puzzle15")
set(CPACK_PACKAGE_VERSION "${PUZZLE15_VERSION_TEXT}")
set(CPACK_PACKAGE_VENDOR "www.puzzle15.example.org")
set(CPACK_PACKAGE_CONTACT "Puzzle 15 developers <dev@puzzle15.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Пъзел 15, the sliding-tile puzzle")
set(CPACK_PACKAGE_DESCRIPTION "The 15 puzzle on a 4x4 board, with 3x3 and 5x5 boards to choose from,
in one fixed Bulgarian window: new game, moves taken back one at a time,
the solved board, and the unsolvable board with tiles 14 and 15 exchanged.")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_STRIP_FILES TRUE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.puzzle15.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window asks for Times New Roman; Liberation Serif stands in for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)
