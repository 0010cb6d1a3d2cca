# How the program is installed and packaged: on Linux the desktop's files and
# the Debian package, on Windows the zip and the installer. What every
# package shares is set here once; each platform's file adds its own, and
# include(CPack) comes last.
include(GNUInstallDirs)

set(CPACK_PACKAGE_NAME "puzzle15")
set(CPACK_PACKAGE_VERSION "${PUZZLE15_VERSION_TEXT}")
set(CPACK_PACKAGE_VENDOR "${PUZZLE15_VENDOR}")
set(CPACK_PACKAGE_CONTACT "Puzzle 15 developers <dev@puzzle15.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Пъзел 15, the sliding-tile puzzle")

if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
else()
    include(${CMAKE_CURRENT_LIST_DIR}/install.cmake)
    include(${CMAKE_CURRENT_LIST_DIR}/debian-package.cmake)
endif()
include(CPack)
