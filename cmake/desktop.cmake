# How the program presents itself to the desktop: what `cmake --install`
# puts in place (the program, its menu entry, icons, AppStream metadata,
# manual pages, copyright and changelog), the Debian package made by CPack,
# and the Windows resources of the program file. Included from the top-level
# CMakeLists.txt once the puzzle15 target exists.

include(GNUInstallDirs)

# The reverse-DNS id names the menu entry, the icon and the metadata.
set(PUZZLE15_APP_ID "org.example.puzzle15")
# The release: its date, 2026-12-08, as the seconds since 1970 at its
# midnight UTC.
set(PUZZLE15_RELEASE_EPOCH 1796688000)

# Reproducible builds: one commit gives the same program file and the same
# package wherever and whenever it is built. Every timestamp comes from
# SOURCE_DATE_EPOCH, the release's when the caller sets none.
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(PUZZLE15_SOURCE_DATE_EPOCH "$ENV{SOURCE_DATE_EPOCH}")
else()
    set(PUZZLE15_SOURCE_DATE_EPOCH ${PUZZLE15_RELEASE_EPOCH})
endif()
# puzzle15_release_time(FORMAT OUT): the release's time in a string(TIMESTAMP)
# format (which formats SOURCE_DATE_EPOCH when it is set).
function(puzzle15_release_time format out)
    if(DEFINED ENV{SOURCE_DATE_EPOCH})
        set(caller_epoch "$ENV{SOURCE_DATE_EPOCH}")
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${PUZZLE15_RELEASE_EPOCH})
    string(TIMESTAMP time "${format}" UTC)
    if(DEFINED caller_epoch)
        set(ENV{SOURCE_DATE_EPOCH} "${caller_epoch}")
    else()
        unset(ENV{SOURCE_DATE_EPOCH})
    endif()
    set(${out} "${time}" PARENT_SCOPE)
endfunction()
puzzle15_release_time("%Y-%m-%d" PUZZLE15_RELEASE_DATE)
# No source or build directory in the program file (__FILE__, debug information).
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    foreach(target puzzle15_platform puzzle15_game puzzle15_window puzzle15)
        target_compile_options(${target} PRIVATE
            "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=." "-ffile-prefix-map=${PROJECT_BINARY_DIR}=.")
    endforeach()
endif()

# AppStream metadata, its release from project(VERSION) as "1.00".
set(PUZZLE15_METAINFO_TEMPLATE "desktop/${PUZZLE15_APP_ID}.metainfo.xml.in")
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_METAINFO_TEMPLATE}
               ${PROJECT_BINARY_DIR}/${PUZZLE15_APP_ID}.metainfo.xml @ONLY)

# Windows: the program file's icon, version record and manifest. The script is
# generated on every platform so that a test can compile it anywhere.
set(PUZZLE15_RC_TEMPLATE "resources/puzzle15.rc.in")
set(PUZZLE15_ICO "${PROJECT_SOURCE_DIR}/resources/puzzle15.ico")
set(PUZZLE15_MANIFEST "${PROJECT_SOURCE_DIR}/resources/puzzle15.manifest")
set(PUZZLE15_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},0,0")
if(PROJECT_VERSION_PATCH)
    set(PUZZLE15_RC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
endif()
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_RC_TEMPLATE} ${PROJECT_BINARY_DIR}/puzzle15.rc @ONLY)

# On Windows the program is installed and packaged its own way; what
# follows is for Linux desktops and the Debian package.
if(WIN32)
    include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
    return()
endif()

# The program links only system libraries: no RPATH in the installed file.
set_target_properties(puzzle15 PROPERTIES INSTALL_RPATH "")
# <prefix>/bin, on the PATH of a ~/.local or /usr/local install; the Debian
# package moves it to /usr/games (packaging/games_dir.cmake).
install(TARGETS puzzle15 RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES desktop/${PUZZLE15_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/${PUZZLE15_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 32 64 128 256)
    install(FILES resources/icon-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${PUZZLE15_APP_ID}.png)
endforeach()

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
# The program in /usr/games, and the archive's times from SOURCE_DATE_EPOCH
# (which CPack's DEB generator honours) unless cpack's caller sets it.
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/packaging/games_dir.cmake")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/packaging/cpack_options.cmake")
set(CPACK_PUZZLE15_BINDIR "${CMAKE_INSTALL_BINDIR}")
set(CPACK_PUZZLE15_SOURCE_DATE_EPOCH "${PUZZLE15_SOURCE_DATE_EPOCH}")
include(CPack)

# Manual pages in English and Bulgarian, the copyright in Debian's
# machine-readable format (its licence text from LICENSE), and the changelog
# in Debian's format, all made at configure time. gzip -n leaves out the
# file's name and time.
if(UNIX)
    find_program(PUZZLE15_GZIP gzip)
    if(NOT PUZZLE15_GZIP)
        message(FATAL_ERROR "gzip is needed for the manual pages and the changelog")
    endif()
    function(puzzle15_gzip file)
        execute_process(COMMAND ${PUZZLE15_GZIP} -9nc ${file} OUTPUT_FILE ${file}.gz RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "gzip ${file}: ${failed}")
        endif()
    endfunction()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
                 ${PROJECT_SOURCE_DIR}/man/latin_fallback.tmac ${PROJECT_SOURCE_DIR}/LICENSE)

    file(READ ${PROJECT_SOURCE_DIR}/man/latin_fallback.tmac PUZZLE15_MAN_LATIN_FALLBACK)
    string(STRIP "${PUZZLE15_MAN_LATIN_FALLBACK}" PUZZLE15_MAN_LATIN_FALLBACK)
    foreach(language_dir "" "bg/")
        set(page ${PROJECT_BINARY_DIR}/man/${language_dir}man6/puzzle15.6)
        configure_file(${PROJECT_SOURCE_DIR}/man/${language_dir}puzzle15.6.in ${page} @ONLY)
        puzzle15_gzip(${page})
        install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/${language_dir}man6)
    endforeach()

    # LICENSE's copyright line, and its terms as the body of a License
    # paragraph: each line indented by a space, an empty line as " .".
    file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
    string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" copyright_line "${licence}")
    set(PUZZLE15_COPYRIGHT "${CMAKE_MATCH_1}")
    string(FIND "${licence}" "Permission is hereby granted" terms_start)
    string(SUBSTRING "${licence}" ${terms_start} -1 terms)
    string(STRIP "${terms}" terms)
    string(REPLACE "\n\n" "\n.\n" terms "${terms}")
    string(REPLACE "\n" "\n " terms "${terms}")
    set(PUZZLE15_LICENSE_TEXT " ${terms}")
    configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${PROJECT_BINARY_DIR}/doc/copyright @ONLY)

    # The release's entry bears the release's date, in RFC 5322 form.
    puzzle15_release_time("%a, %d %b %Y %H:%M:%S +0000" PUZZLE15_CHANGELOG_DATE)
    configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/doc/changelog @ONLY)
    puzzle15_gzip(${PROJECT_BINARY_DIR}/doc/changelog)
    install(FILES ${PROJECT_BINARY_DIR}/doc/copyright ${PROJECT_BINARY_DIR}/doc/changelog.gz
            DESTINATION ${CMAKE_INSTALL_DOCDIR})
endif()
