# What `cmake --install` puts in place on Linux: the program, its menu entry,
# icons and AppStream metadata, the manual pages in English and Bulgarian,
# the copyright in Debian's machine-readable format and the changelog in
# Debian's format. The texts are made at configure time; gzip -n leaves out
# the file's name and time.

# AppStream metadata, its release from project(VERSION) as "1.00".
set(PUZZLE15_METAINFO_TEMPLATE "desktop/${PUZZLE15_APP_ID}.metainfo.xml.in")
configure_file(${PROJECT_SOURCE_DIR}/${PUZZLE15_METAINFO_TEMPLATE}
               ${PROJECT_BINARY_DIR}/${PUZZLE15_APP_ID}.metainfo.xml @ONLY)

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
