# The program for 64-bit Windows, cross-built with MinGW-w64 against a static
# Qt (scripts/windows.sh): one puzzle15.exe that imports only Windows' own
# DLLs, a zip with it, its licence and Qt's notice, and a per-user installer
# made by CPack's NSIS generator. Included from packaging.cmake on Windows in
# place of the Linux desktop files and the Debian package.

# Everything linked statically, the C++ runtime and winpthreads included, so
# that the program (and each test) runs where nothing else is installed.
# Unused sections dropped, symbols stripped, and no link time in the PE
# header, so that one commit gives one program file.
set(PUZZLE15_WINDOWS_LINK_OPTIONS -static -s -Wl,--gc-sections -Wl,--no-insert-timestamp)
foreach(target puzzle15_platform puzzle15_game puzzle15_window puzzle15)
    target_compile_options(${target} PRIVATE -ffunction-sections -fdata-sections)
endforeach()
target_link_options(puzzle15 PRIVATE ${PUZZLE15_WINDOWS_LINK_OPTIONS})
# Targets made after this point (tests, the minimal window) link the same way.
add_link_options(${PUZZLE15_WINDOWS_LINK_OPTIONS})

# A GUI program: no console window opens with it.
set_target_properties(puzzle15 PROPERTIES WIN32_EXECUTABLE TRUE)
target_sources(puzzle15 PRIVATE ${PROJECT_BINARY_DIR}/puzzle15.rc)
# windres reads the icon and the manifest that the script names.
set_property(SOURCE ${PROJECT_BINARY_DIR}/puzzle15.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PUZZLE15_ICO} ${PUZZLE15_MANIFEST})

# Qt's notice: the version linked in, where its source is, and how to relink.
if(NOT PUZZLE15_QT_SOURCE_VERSION)
    set(PUZZLE15_QT_SOURCE_VERSION "${Qt6_VERSION}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/qt-notice.txt.in
               ${PROJECT_BINARY_DIR}/windows/QT-NOTICE.txt @ONLY NEWLINE_STYLE CRLF)
# The licences the notice names, from Debian's common-licenses.
foreach(licence LGPL-3 GPL-3)
    if(EXISTS /usr/share/common-licenses/${licence})
        configure_file(/usr/share/common-licenses/${licence}
                       ${PROJECT_BINARY_DIR}/windows/${licence}.txt COPYONLY)
        list(APPEND PUZZLE15_WINDOWS_LICENCES ${PROJECT_BINARY_DIR}/windows/${licence}.txt)
    else()
        message(FATAL_ERROR "/usr/share/common-licenses/${licence} is missing (package base-files)")
    endif()
endforeach()

# Everything at the top of the zip and of the install folder.
install(TARGETS puzzle15 RUNTIME DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/windows/QT-NOTICE.txt
              ${PUZZLE15_WINDOWS_LICENCES}
        DESTINATION .)

# `cpack` in the build directory makes both packages:
#   puzzle15-1.00-win64.zip and puzzle15-1.00-win64-setup.exe.
set(CPACK_GENERATOR "ZIP;NSIS")
set(CPACK_SYSTEM_NAME "win64")
# Named apart as well: include(CPack) leaves the source package's name in
# CPACK_PACKAGE_FILE_NAME, and the tests need this one.
set(PUZZLE15_WINDOWS_PACKAGE "puzzle15-${PUZZLE15_VERSION_TEXT}-win64")
set(CPACK_PACKAGE_FILE_NAME "${PUZZLE15_WINDOWS_PACKAGE}")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES FALSE)
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
# Our own NSIS template (packaging/windows/NSIS.template.in): a 64-bit,
# per-user installer, which CMake's template is not.
list(PREPEND CMAKE_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging/windows)
set(CPACK_NSIS_PACKAGE_NAME "Пъзел 15")
set(CPACK_NSIS_DISPLAY_NAME "Пъзел 15")
set(CPACK_NSIS_INSTALLED_ICON_NAME "puzzle15.exe")
set(CPACK_NSIS_MUI_ICON "${PUZZLE15_ICO}")
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE PUZZLE15_COPYRIGHT_LINE REGEX "^Copyright" LIMIT_COUNT 1)
set(CPACK_PUZZLE15_COPYRIGHT "${PUZZLE15_COPYRIGHT_LINE}")
set(CPACK_PUZZLE15_VERSION_QUAD "${PUZZLE15_VERSION_QUAD}")
set(CPACK_PUZZLE15_EXE "${PROJECT_BINARY_DIR}/puzzle15.exe")
set(CPACK_PUZZLE15_PUBLISHER "${PUZZLE15_VENDOR}")
set(CPACK_PUZZLE15_VERSION_TEXT "${PUZZLE15_VERSION_TEXT}")
set(CPACK_PROJECT_CONFIG_FILE "${PROJECT_SOURCE_DIR}/packaging/windows/cpack_windows.cmake")
