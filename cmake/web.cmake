# The program in the browser, built with emscripten against a static Qt for
# WebAssembly (scripts/web.sh): a site, one folder that any static web server
# serves as it is, with every file the page loads in it. Included from the
# top-level CMakeLists.txt; nothing happens here on other platforms.
#
#   index.html              the page: the window centred, a message where
#                           the browser cannot run it
#   puzzle15.js, .wasm      the program (the .wasm carries Qt and the font)
#   qtloader.js             Qt's loader
#   manifest.webmanifest, icon-*.png, sw.js
#                           the web app: installable, and offline after the
#                           first visit
#   *.br, *.gz              the large files compressed, for servers that
#                           serve them as they are
#   the licences            the program's, the font's and Qt's
if(NOT EMSCRIPTEN)
    return()
endif()

set(PUZZLE15_SITE_DIR "${PROJECT_BINARY_DIR}/site" CACHE PATH "The folder the web build puts the site into")

# Only the program and its site are built: the measuring programs are for
# Linux (long_game reads the heap with mallinfo2, which emscripten's C
# library does not have). minimal_window can still be built by name, for
# its size beside the program's.
foreach(target minimal_window long_game bench_handlers first_frame)
    if(TARGET ${target})
        set_target_properties(${target} PROPERTIES EXCLUDE_FROM_ALL TRUE)
    endif()
endforeach()

# Size first: the .wasm is what a pupil waits for. -Oz for the program's own
# code and for the link, where binaryen's wasm-opt works on the whole module;
# no code for Node.js or workers in the .js.
foreach(target puzzle15_platform puzzle15_game puzzle15_window puzzle15)
    target_compile_options(${target} PRIVATE -Oz)
endforeach()
target_link_options(puzzle15 PRIVATE -Oz "SHELL:-s ENVIRONMENT=web")

# A handler's run-time error is a C++ exception that the program catches
# (app/platform/handler.h). Emscripten's JavaScript-based exceptions catch
# it; they leave alone the JavaScript exception by which Qt's exec() hands
# the event loop to the browser, where WebAssembly's own exceptions would
# run the destructors of main()'s window and application.
set(PUZZLE15_WEB_EXCEPTIONS "SHELL:-s DISABLE_EXCEPTION_CATCHING=0")
foreach(target puzzle15_platform puzzle15_game puzzle15_window puzzle15)
    target_compile_options(${target} PRIVATE ${PUZZLE15_WEB_EXCEPTIONS})
endforeach()
target_link_options(puzzle15 PRIVATE ${PUZZLE15_WEB_EXCEPTIONS})

# A handler's run-time error as the browser meets it: the program that
# checks the Windows build's error report (tests/web/tst_error_report.py).
# Built by name only (scripts/web.sh --tests).
qt_add_executable(report_error ${PROJECT_SOURCE_DIR}/tests/windows/report_error.cpp)
target_link_libraries(report_error PRIVATE puzzle15_platform puzzle15_warnings)
target_compile_options(report_error PRIVATE -Oz ${PUZZLE15_WEB_EXCEPTIONS})
target_link_options(report_error PRIVATE -Oz ${PUZZLE15_WEB_EXCEPTIONS})
set_target_properties(report_error PROPERTIES EXCLUDE_FROM_ALL TRUE)

# The browser gives Qt none of the machine's fonts, so the program carries
# the window's: Liberation Serif, which has the metrics of Times New Roman,
# unchanged (its licence, the SIL Open Font License 1.1, is in the site) and
# uncompressed in the resource, because brotli packs the whole .wasm better
# than rcc's zlib packs the font.
set(PUZZLE15_WEB_FONT_DIR /usr/share/fonts/truetype/liberation)
set(PUZZLE15_WEB_FONT ${PUZZLE15_WEB_FONT_DIR}/LiberationSerif-Regular.ttf)
set(PUZZLE15_WEB_FONT_COPYRIGHT /usr/share/doc/fonts-liberation/copyright)
if(NOT EXISTS ${PUZZLE15_WEB_FONT} OR NOT EXISTS ${PUZZLE15_WEB_FONT_COPYRIGHT})
    message(FATAL_ERROR "${PUZZLE15_WEB_FONT} and its copyright are missing (package fonts-liberation)")
endif()
set_source_files_properties(${PUZZLE15_WEB_FONT} PROPERTIES QT_RESOURCE_ALIAS LiberationSerif-Regular.ttf)
qt_add_resources(puzzle15 "web_fonts" PREFIX "/fonts" OPTIONS --format-version 1 --no-compress
                 FILES ${PUZZLE15_WEB_FONT})
target_sources(puzzle15 PRIVATE app/platform/carried_fonts.cpp app/platform/carried_fonts.h)

# The font's licence: the copyright and licence paragraph of Debian's
# machine-readable copyright file, as plain text.
file(READ ${PUZZLE15_WEB_FONT_COPYRIGHT} font_copyright)
string(REGEX MATCH "\nFiles: \\*\nCopyright:\n(( [^\n]*\n)+)License: ([^\n]*)\n(( [^\n]*\n)+)" _ "${font_copyright}")
if(NOT CMAKE_MATCH_1 OR NOT CMAKE_MATCH_4)
    message(FATAL_ERROR "${PUZZLE15_WEB_FONT_COPYRIGHT}: no copyright and licence for Files: *")
endif()
# Each line of a paragraph's body is indented by a blank, and " ." stands
# for an empty line.
set(font_licence "\n${CMAKE_MATCH_1}\n${CMAKE_MATCH_4}")
string(REPLACE "\n " "\n" font_licence "${font_licence}")
string(REGEX REPLACE "\n\\.(\n|$)" "\n\\1" font_licence "${font_licence}")
string(REGEX REPLACE "\n\\.(\n|$)" "\n\\1" font_licence "${font_licence}")
string(PREPEND font_licence "Liberation Serif Regular (LiberationSerif-Regular.ttf), carried unchanged in puzzle15.wasm\n")
file(WRITE ${PROJECT_BINARY_DIR}/web/LiberationSerif-LICENSE.txt "${font_licence}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PUZZLE15_WEB_FONT_COPYRIGHT})

# The page's title is the window's caption.
file(READ ${PROJECT_SOURCE_DIR}/resources/texts.json texts)
string(JSON PUZZLE15_WINDOW_TITLE GET "${texts}" windowTitle)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/resources/texts.json)
configure_file(${PROJECT_SOURCE_DIR}/web/index.html.in ${PROJECT_BINARY_DIR}/web/index.html @ONLY)

# Qt's notice: the version and the patches of the Qt linked in, and where
# their source is.
if(NOT PUZZLE15_QT_SOURCE_VERSION)
    set(PUZZLE15_QT_SOURCE_VERSION "${Qt6_VERSION}")
endif()
file(STRINGS ${PROJECT_SOURCE_DIR}/patches/qt-wasm/series PUZZLE15_QT_PATCHES REGEX "^[^#]")
list(JOIN PUZZLE15_QT_PATCHES "\n    patches/qt-wasm/" PUZZLE15_QT_PATCHES)
set(PUZZLE15_QT_PATCHES "    patches/qt-wasm/${PUZZLE15_QT_PATCHES}")
configure_file(${PROJECT_SOURCE_DIR}/web/qt-notice.txt.in ${PROJECT_BINARY_DIR}/web/QT-NOTICE.txt @ONLY)

# The site, put together after every link of the program: the files, the
# service worker with the list of files and the release's own cache name
# (from their contents), and the compressed copies.
set(PUZZLE15_SITE_FILES
    ${PROJECT_BINARY_DIR}/web/index.html
    $<TARGET_FILE_DIR:puzzle15>/puzzle15.js
    $<TARGET_FILE_DIR:puzzle15>/puzzle15.wasm
    $<TARGET_FILE_DIR:puzzle15>/qtloader.js
    ${PROJECT_SOURCE_DIR}/web/manifest.webmanifest
    ${PROJECT_SOURCE_DIR}/resources/icon-32.png
    ${PROJECT_SOURCE_DIR}/web/icon-192.png
    ${PROJECT_SOURCE_DIR}/web/icon-512.png
)
set(PUZZLE15_SITE_NOTICES
    ${PROJECT_SOURCE_DIR}/LICENSE
    ${PROJECT_BINARY_DIR}/web/LiberationSerif-LICENSE.txt
    ${PROJECT_BINARY_DIR}/web/QT-NOTICE.txt
    /usr/share/common-licenses/LGPL-3
    /usr/share/common-licenses/GPL-3
)
find_program(PUZZLE15_BROTLI brotli REQUIRED NO_CMAKE_FIND_ROOT_PATH)
find_program(PUZZLE15_GZIP gzip REQUIRED NO_CMAKE_FIND_ROOT_PATH)
add_custom_target(web_site ALL
    COMMAND ${CMAKE_COMMAND}
            "-DSITE=${PUZZLE15_SITE_DIR}"
            "-DFILES=${PUZZLE15_SITE_FILES}"
            "-DNOTICES=${PUZZLE15_SITE_NOTICES}"
            "-DSERVICE_WORKER=${PROJECT_SOURCE_DIR}/web/sw.js.in"
            "-DBROTLI=${PUZZLE15_BROTLI}"
            "-DGZIP=${PUZZLE15_GZIP}"
            -P ${CMAKE_CURRENT_LIST_DIR}/web_site.cmake
    DEPENDS puzzle15 ${CMAKE_CURRENT_LIST_DIR}/web_site.cmake ${PROJECT_SOURCE_DIR}/web/sw.js.in
    COMMENT "Putting the site together in ${PUZZLE15_SITE_DIR}"
    VERBATIM)
